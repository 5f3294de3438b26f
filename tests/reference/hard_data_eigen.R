source("reports.R")
# Near-collinear columns: v is 2u but for a noise of 0.01, so the covariance matrix has an
# eigenvalue near 4e-5 beside others near 1e4 and 1e3, with the eigenvector (2, -1, 0)/root 5.
u <- c(12, 45, 78, 23, 90, 56, 34, 67, 81, 15)
d <- data.frame(u=u, v=2*u + c(0.01, -0.01, 0.01, 0.01, -0.01, -0.01, 0.01, -0.01, 0.01, -0.01),
                w=c(310, 120, 250, 405, 180, 95, 330, 210, 140, 275))
e <- eigen(cov(d), symmetric=TRUE)
add("Eigen analysis of near-collinear columns: v is 2u but for a noise of 0.01\n")
last <- e$vectors[, 3] * sign(e$vectors[1, 3])
add(paste0("reference: R 4.2 eigen(cov) gives eigenvalues ", paste(sprintf("%.6e", e$values), collapse=", "),
           ";\nreference: the last eigenvector is (", paste(sprintf("%.6f", last), collapse=", "),
           ") up to sign, near (2, -1, 0) over root 5.\n",
           "reference: Every eigenvalue and vector from R eigen, their signs from one inverse-iteration step\n",
           "reference: at the bisected shift, tests/reference/reports.R\n\n"))
add(table_text("near", d, paste0("c", 1:10)))
add("eigenvv(near)=\n", report_eigen(d, FALSE))
add("eigenvc(near)=\n", report_eigen(d, TRUE))
add("pca(near)=\n", report_pca(d, paste0("c", 1:10)))
write_worksheet("../worksheets/hard_data_eigen")
