# Reference reports for the golden worksheets, computed in R (checking only; nothing in
# the build runs R). Run a generator from this folder, e.g.
#   cd tests/reference && Rscript multivariate_small.R
# and it writes ../worksheets/NAME.txt and NAME.expected.txt.
#
# Eigenvalues and eigenvectors are R's eigen(). Which way an eigenvector points follows
# from Tallo's method (bisection to a relative width of 1e-6, then one inverse-iteration
# step from a unit vector), so that step is transcribed here on top of R's eigenvalues:
# the Sturm count at x is the number of R's eigenvalues at or above x.
tridiag_bound <- function(A) {
  n <- nrow(A)
  if (n > 2) for (k in 1:(n-2)) {
    s <- sum(A[k,(k+1):n]^2); t <- sqrt(s); if (A[k,k+1] >= 0) t <- -t
    if (s == 0) next; r <- (t - A[k,k+1])*t
    u <- rep(0,n); u[k+1] <- A[k,k+1]-t; if (k+2 <= n) u[(k+2):n] <- A[k,(k+2):n]
    idx <- k:n
    p <- rep(0,n); for (i in idx) p[i] <- sum(A[i,idx]*u[idx])/r
    c <- sum(p[idx]*u[idx])/(2*r); q <- p - c*u
    for (i in idx) for (j in i:n) { A[i,j] <- A[i,j]-u[i]*q[j]-q[i]*u[j]; A[j,i] <- A[i,j] }
  }
  g <- abs(A[1,1]) + abs(A[1,2])
  if (n > 2) for (i in 2:(n-1)) g <- max(g, abs(A[i,i-1])+abs(A[i,i])+abs(A[i,i+1]))
  g <- max(g, abs(A[n,n-1])+abs(A[n,n]))
  g + 1
}
bisected <- function(A) {
  lam <- eigen(A, symmetric=TRUE)$values; n <- nrow(A); g <- tridiag_bound(A)
  out <- numeric(n); x <- g
  for (k in 1:n) {
    lo <- -g; hi <- x; x <- (lo+hi)/2
    repeat {
      cnt <- sum(lam >= x)
      if (n >= 3 && k > cnt + 1) { hi <- x; lo <- -g; x <- (lo+hi)/2; next }
      if (k <= cnt) lo <- x else hi <- x
      x <- (lo+hi)/2
      if (abs(hi-lo) < 1e-6*max(1,abs(hi))) break
    }
    out[k] <- x
  }
  out
}
crout <- function(M) {
  n <- nrow(M); piv <- 1:n
  sw <- function(j) { b <- j; for (i in (j+1):n) if (i <= n && abs(M[i,j]) > abs(M[b,j])) b <- i
    if (b != j) { tmp <- M[j,]; M[j,] <<- M[b,]; M[b,] <<- tmp; tp <- piv[j]; piv[j] <<- piv[b]; piv[b] <<- tp } }
  sw(1); M[1,2:n] <- M[1,2:n]/M[1,1]
  if (n >= 3) for (j in 2:(n-1)) {
    for (i in j:n) M[i,j] <- M[i,j] - sum(M[i,1:(j-1)]*M[1:(j-1),j])
    sw(j)
    for (l in (j+1):n) M[j,l] <- (M[j,l] - sum(M[j,1:(j-1)]*M[1:(j-1),l]))/M[j,j]
  }
  M[n,n] <- M[n,n] - sum(M[n,1:(n-1)]*M[1:(n-1),n])
  list(M=M, piv=piv)
}
trial <- function(f, s) {
  M <- f$M; n <- nrow(M); y <- rep(0,n); y[f$piv[s]] <- 1
  for (i in 1:n) { if (i > 1) y[i] <- y[i] - sum(M[i,1:(i-1)]*y[1:(i-1)]); y[i] <- y[i]/M[i,i] }
  for (i in (n-1):1) y[i] <- y[i] - sum(M[i,(i+1):n]*y[(i+1):n])
  y
}
# Eigenvalues and eigenvectors are R's eigen(); each vector points the way of one
# inverse-iteration step from a unit vector at the bisected shift (times the sign of the
# eigenvalue beyond 1e-5), as Tallo turns its own. No clusters.
routine_eigen <- function(A) {
  e <- eigen(A, symmetric=TRUE); n <- nrow(A); lam <- e$values; V <- e$vectors
  if (n == 2) {
    for (j in 1:2) { v1 <- c(A[1,2], lam[j]-A[1,1]); v2 <- c(lam[j]-A[2,2], A[1,2])
      v <- v1; if (sum(v2^2) > sum(v1^2)) { if (sum(v1*v2) < 0) v2 <- -v2; v <- v2 }
      V[,j] <- v/sqrt(sum(v^2)) }
    return(list(values=lam, vectors=V))
  }
  shifts <- bisected(A)
  for (k in 1:n) {
    if (k < n) stopifnot(abs(shifts[k]-shifts[k+1]) > 1e-6*max(1,abs(shifts[k])))
    shift <- if (abs(shifts[k]) < 1e-10) 1e-10 else shifts[k]
    f <- crout(shift*diag(n) - A)
    best <- rep(0,n); bn <- 0; y <- NULL
    for (s in 1:n) { t <- trial(f, s); N <- sum(abs(t))
      if (!(N < 100)) { y <- t/N; break }
      if (N > bn) { best <- t; bn <- N } }
    if (is.null(y)) y <- best/bn
    if (abs(shifts[k]) > 1e-5) y <- sign(shifts[k]) * y
    if (sum(V[,k]*y) < 0) V[,k] <- -V[,k]
  }
  list(values=lam, vectors=V)
}
# The combined square of a data frame with missing cells: pairwise covariances, correlations
# over whole-column standard deviations.
pairwise_cov <- function(d) {
  p <- ncol(d); S <- matrix(0,p,p)
  for (i in 1:p) for (j in 1:p) { ok <- !is.na(d[,i]) & !is.na(d[,j]); S[i,j] <- cov(d[ok,i], d[ok,j]) }
  sds <- sqrt(diag(S)); R <- S / outer(sds, sds); diag(R) <- 1
  list(cov=S, cor=R, means=colMeans(d, na.rm=TRUE), n=min(sapply(1:p, function(i) sapply(1:p, function(j) sum(!is.na(d[,i]) & !is.na(d[,j]))))))
}
fe <- function(x) { s <- sprintf("%.2e", x); s <- sub("e([+-])(\\d\\d)$", "e\\10\\2", s); s[is.nan(x)] <- "nan"; s }
ff <- function(x) { s <- sprintf("%f", x); s[is.na(x)] <- "nan"; s[is.infinite(x) & x > 0] <- "inf"; s[is.infinite(x) & x < 0] <- "-inf"; s }
L <- function(...) paste0(..., "\r\n")
combined <- function(pc) { C <- pc$cor; C[lower.tri(C, diag=TRUE)] <- pc$cov[lower.tri(pc$cov, diag=TRUE)]; C }
report_vcmtrx <- function(d) {
  pc <- pairwise_cov(d); C <- combined(pc); lab <- names(d)
  out <- L("--- variance-covariance and correlation matrix ---")
  for (i in 1:ncol(d)) out <- paste0(out, L("[", lab[i], "]", paste0(" ", fe(C[i,]), collapse="")))
  out <- paste0(out, L(""), L("[variable] mean, standard deviation"))
  for (i in 1:ncol(d)) out <- paste0(out, L("[", lab[i], "] ", ff(pc$means[i]), ", ", ff(sqrt(pc$cov[i,i]))))
  paste0(out, L("n=", pc$n))
}
cumprop <- function(v) { T <- sum(v); c <- cumsum(v); ifelse(c >= T, 1, c/T) }
report_eigen <- function(d, use_cor) {
  pc <- pairwise_cov(d); A <- if (use_cor) pc$cor else pc$cov; e <- routine_eigen(A); p <- ncol(d)
  line <- function(v) L(paste(fe(v), collapse=", "))
  out <- L(if (use_cor) "--- Eigenvalue and eigenvector of correlation matrix ---" else "--- Eigenvalue and eigenvector of variance-covariance matrix ---")
  out <- paste0(out, L("matrix")); for (i in 1:p) out <- paste0(out, line(A[i,]))
  out <- paste0(out, L("eigen value"), line(e$values), L("proportion"), line(e$values/sum(e$values)),
                L("cumulative proportion"), line(cumprop(e$values)), L("eigen vector"))
  for (i in 1:p) out <- paste0(out, line(e$vectors[i,]))
  out
}
report_pca <- function(d, rownames_) {
  pc <- pairwise_cov(d); e <- routine_eigen(pc$cor); v <- e$values; lab <- names(d); p <- ncol(d)
  m <- 0; while (m < p && v[m+1] >= 0.01) m <- m + 1
  cp <- cumprop(v)
  out <- paste0(L("--- Principal component analysis -----------"), L("factor, eigen value, proportion, cumulastive proportion"))
  for (j in seq_len(m)) out <- paste0(out, L("factor[", j, "] ", ff(v[j]), ", ", ff(v[j]/sum(v)), ", ", ff(cp[j])))
  out <- paste0(out, L(""), L("coefficient of each factor"))
  for (j in seq_len(m)) { out <- paste0(out, L("factor[", j, "]"))
    for (i in 1:p) out <- paste0(out, L("[", lab[i], "] ", ff(e$vectors[i,j]))); out <- paste0(out, L("")) }
  out <- paste0(out, "component score\r\n------", paste0(" factor[", seq_len(m), "]", collapse=""), "\r\n")
  z <- d; for (i in 1:p) z[,i] <- (d[,i] - pc$means[i])/sqrt(pc$cov[i,i])
  sc <- as.matrix(z) %*% e$vectors[, seq_len(m), drop=FALSE]
  for (r in 1:nrow(d)) out <- paste0(out, L(rownames_[r], paste0(" ", ff(sc[r,]), collapse="")))
  out
}
# Worksheet building: a table definition, and a statement with its report.
table_text <- function(name, d, rows) {
  cell <- function(x) { s <- format(x, trim=TRUE, scientific=FALSE, digits=15); s[is.na(x)] <- ""; s }
  out <- paste0(name, "={\t", paste(names(d), collapse="\t"), "\n")
  for (r in 1:nrow(d)) out <- paste0(out, rows[r], "\t", paste(sapply(d, function(col) cell(col[r])), collapse="\t"), "\n")
  paste0(out, "}\n")
}
ws_in <- character(0); ws_out <- character(0)
add <- function(text, report = NULL) {
  ws_in <<- c(ws_in, text)
  ws_out <<- c(ws_out, if (is.null(report)) text else sub("=\n$", paste0("=", gsub("\r\n", "\n", report), "\n"), text))
}
write_worksheet <- function(path) {
  writeLines(paste(ws_in, collapse=""), paste0(path, ".txt"), sep="")
  writeLines(paste(ws_out, collapse=""), paste0(path, ".expected.txt"), sep="")
}

# Regression and discrimination. A case with a missing cell has no fitted value,
# discriminant value or distance (NA here).
mra_parts <- function(d) {
  q <- ncol(d); k <- q - 1; pc <- pairwise_cov(d)
  b <- solve(pc$cov[1:k, 1:k, drop=FALSE], pc$cov[1:k, q])
  beta <- solve(pc$cor[1:k, 1:k, drop=FALSE], pc$cor[1:k, q])
  b0 <- pc$means[q] - sum(b * pc$means[1:k])
  X <- as.matrix(d[complete.cases(d), ]); y <- X[, q]; fit <- as.vector(X[, 1:k, drop=FALSE] %*% b + b0)
  N <- nrow(X); ssr <- sum((fit - mean(fit))^2); sse <- sum((y - fit)^2); sst <- sum((y - mean(y))^2)
  dfe <- N - k - 1; f <- (ssr / k) / (sse / dfe); p <- pf(f, k, dfe, lower.tail=FALSE); if (p < 1e-12) p <- 0
  list(b=b, beta=beta, b0=b0, ssr=ssr, sse=sse, sst=sst, k=k, dfe=dfe, f=f, p=p)
}
report_mra <- function(d) {
  r <- mra_parts(d); lab <- names(d)
  out <- paste0(L("--- Multiple regression analysis ----------"),
                L("[explanatory variable] regression coefficient, standard regression coefficient"))
  for (i in 1:r$k) out <- paste0(out, L("[", lab[i], "] ", ff(r$b[i]), ", ", ff(r$beta[i])))
  out <- paste0(out, L("[const] ", ff(r$b0)), L(""), L("multiple regression equation"),
                L("Y=", paste0("(", ff(r$b), ")*", lab[1:r$k], "+", collapse=""), "(", ff(r$b0), ")"), L(""))
  prop <- r$ssr / r$sst
  out <- paste0(out, L("multiple correlation coefficient R=", ff(sqrt(prop)), ", propotion=", ff(prop)), L(""),
                L("---------------------------------------------"), L("\tSUM OF SQUARES | DF | MEAN OF SQUARES | F RATIO"),
                L("REGRES:\t", ff(r$ssr), "  ", r$k, "  ", ff(r$ssr / r$k), "  ", ff(r$f)),
                L("ERROR:\t", ff(r$sse), "  ", r$dfe, "  ", ff(r$sse / r$dfe)),
                L("TOTAL:\t", ff(r$sst), "  ", r$k + r$dfe),
                L("---------------------------------------------"),
                L(if (r$p < 0.05) "*" else "", "p=", ff(r$p)))
  out
}
lda_parts <- function(a, b) {
  pa <- pairwise_cov(a); pb <- pairwise_cov(b); na <- pa$n; nb <- pb$n
  pool <- function(A, B) ((na - 1) * A + (nb - 1) * B) / (na + nb - 2)
  coef <- solve(pool(pa$cov, pb$cov), pa$means - pb$means)
  std <- solve(pool(pa$cor, pb$cor), pa$means - pb$means)
  list(coef=coef, std=std, const=-0.5 * sum((pa$means + pb$means) * coef))
}
report_lda <- function(a, b) {
  r <- lda_parts(a, b); lab <- names(b)
  out <- paste0(L("--- Linear discriminant analysis ---"), L("linear discriminant function"),
                L("[variable] coefficient, standard coefficient"))
  for (i in seq_along(lab)) out <- paste0(out, L("[", lab[i], "] ", ff(r$coef[i]), ", ", ff(r$std[i])))
  out <- paste0(out, L("[const] ", ff(r$const)), L(""), L("linear discriminant equation"),
                L(paste0("(", ff(r$coef), ")*", lab, "+", collapse=""), "(", ff(r$const), ")"), L(""),
                L("value of discriminant equation"))
  for (g in list(list("D1", a), list("D2", b))) {
    z <- as.vector(as.matrix(g[[2]]) %*% r$coef + r$const); n <- length(z)
    pos <- sum(z > 0, na.rm=TRUE); neg <- sum(z <= 0, na.rm=TRUE)
    out <- paste0(out, L(g[[1]], " Positive=", pos, " Negative=", neg, " Total=", n,
                         " P/T=", ff(pos / n), " N/T=", ff(neg / n)))
  }
  out
}
report_mda <- function(a, b, cases, labels) {
  pa <- pairwise_cov(a); pb <- pairwise_cov(b); X <- as.matrix(cases)
  d1 <- mahalanobis(X, pa$means, pa$cov); d2 <- mahalanobis(X, pb$means, pb$cov)
  verdict <- ifelse(!(is.finite(d1) & is.finite(d2)), "none", ifelse(d1 > d2, "D2", ifelse(d1 < d2, "D1", "D1=D2")))
  out <- L("--- Mahalanobis' discriminant analysis -----------")
  for (r in seq_along(d1)) out <- paste0(out, L(labels[r], " D1=", ff(d1[r]), ", D2=", ff(d2[r]),
                                                ", Distance=", ff(d1[r] - d2[r]), ", ", verdict[r]))
  n <- length(d1)
  paste0(out, L("n(D1)=", sum(verdict == "D1"), ", n(D2)=", sum(verdict == "D2"), ", n(D1=D2)=", sum(verdict == "D1=D2"),
                ", n(Total)=", n, ", D1/T=", ff(sum(verdict == "D1") / n), ", D2/T=", ff(sum(verdict == "D2") / n)))
}

# Least squares in x, or for a negative degree in 1/x, by R's lm.
report_lsq <- function(x, y, degree) {
  m <- abs(degree); u <- if (degree < 0) 1 / x else x
  fit <- lm(y ~ poly(u, m, raw=TRUE)); c <- unname(coef(fit)); sse <- sum(residuals(fit)^2)
  g <- sqrt(1 - sse / (sum(y^2) - sum(y)^2 / length(y)))
  prefix <- if (degree < 0) "-" else ""; op <- if (degree < 0) "/" else "*"
  out <- L("--- Least square method ---")
  for (i in 0:m) out <- paste0(out, L("D[", prefix, i, "] ", ff(c[i + 1])))
  out <- paste0(out, L("sum of desidual squares=", ff(sse)), L("coefficient of determination=", ff(g)), "equation\r\nY= ", "(", ff(c[1]), ")")
  if (m >= 1) out <- paste0(out, "+(", ff(c[2]), ")", op, "(x)")
  if (m >= 2) for (i in 2:m) out <- paste0(out, "+(", ff(c[i + 1]), ")", op, "pow(x,", i, ")")
  paste0(out, "\r\n")
}
list_text <- function(name, v) paste0(name, "={", paste(sapply(v, format, digits=15), collapse=","), "}\n")
