source("reports.R")
add("Multiple regression on the stack loss data of R's datasets (21 cases, the response in the last column)\n")
add("reference: R 4.2 lm(stack.loss ~ ., stackloss) gives -39.919674 + 0.715640 Air.Flow + 1.295286 Water.Temp - 0.152123 Acid.Conc.\n")
add("reference: standardised coefficients b sd(x) / sd(y) 0.645048, 0.402502, -0.080141; R squared 0.913577; F 59.9022 on 3 and 17 df; pf gives p 3.0e-9\n\n")
fit <- lm(stack.loss ~ ., stackloss); r <- mra_parts(stackloss)
stopifnot(all.equal(unname(coef(fit)), unname(c(r$b0, r$b))), all.equal(unname(summary(fit)$fstatistic[1]), r$f))
add(table_text("stack", stackloss, paste0("run", 1:21)))
add("mra(stack)=\n", report_mra(stackloss))
add("\nOne explanatory column: stopping distance on speed, R's cars data (50 cases)\n")
add("reference: R lm(dist ~ speed, cars) gives -17.579095 + 3.932409 speed, R squared 0.651079, F 89.5671 on 1 and 48 df, p 1.49e-12\n")
fit <- lm(dist ~ speed, cars); r <- mra_parts(cars)
stopifnot(all.equal(unname(coef(fit)), unname(c(r$b0, r$b))), all.equal(unname(summary(fit)$fstatistic[1]), r$f))
add(table_text("cars", cars, paste0("car", 1:50)))
add("mra(cars)=\n", report_mra(cars))
add("\nA missing cell leaves its row out of the covariances of its pairs and out of the fit\n")
add("reference: R matrix algebra on the covariances over the rows complete for each pair; sums of squares over the eleven complete rows\n")
gap <- stackloss[1:12, ]; gap$Water.Temp[5] <- NA
add(table_text("gap", gap, paste0("run", 1:12)))
add("mra(gap)=\n", report_mra(gap))
add("\nAn exact plane y 1 + 2 x1 + 3 x2, with x1 and x2 uncorrelated\n")
add("reference: by hand, coefficients 2 and 3 with constant 1; SST 166 all explained, no residual, so F is infinite and p 0\n")
add("reference: R coef(lm(y ~ x1 + x2)) times c(sd(x1), sd(x2)) / sd(y) gives the standardised 0.490881 and 0.871227\n")
add("plane={\tx1\tx2\ty\nc1\t1\t4\t15\nc2\t2\t1\t8\nc3\t3\t0\t7\nc4\t4\t1\t12\nc5\t5\t4\t23\n}\n")
add("mra(plane)=\n", paste0(
  L("--- Multiple regression analysis ----------"),
  L("[explanatory variable] regression coefficient, standard regression coefficient"),
  L("[x1] 2.000000, 0.490881"), L("[x2] 3.000000, 0.871227"), L("[const] 1.000000"), L(""),
  L("multiple regression equation"), L("Y=(2.000000)*x1+(3.000000)*x2+(1.000000)"), L(""),
  L("multiple correlation coefficient R=1.000000, propotion=1.000000"), L(""),
  L("---------------------------------------------"), L("\tSUM OF SQUARES | DF | MEAN OF SQUARES | F RATIO"),
  L("REGRES:\t166.000000  2  83.000000  inf"), L("ERROR:\t0.000000  2  0.000000"), L("TOTAL:\t166.000000  4"),
  L("---------------------------------------------"), L("*p=0.000000")))
add("\nA constant explanatory column makes the matrix singular\n")
add("const={\tx\tk\ty\nc1\t1\t4\t2.5\nc2\t2\t4\t3.1\nc3\t3\t4\t4.4\nc4\t4\t4\t4.2\n}\n")
add("mra(const)=\n", "--- Multiple regression analysis ----------\r\nthe matrix is singular\r\n")
add("\nCollinear explanatory columns make the matrix singular\n")
add("twice={\tx\tdouble\ty\nc1\t1\t2\t2.5\nc2\t2\t4\t3.1\nc3\t3\t6\t4.4\nc4\t4\t8\t4.2\n}\n")
add("mra(twice)=\n", "--- Multiple regression analysis ----------\r\nthe matrix is singular\r\n")
write_worksheet("../worksheets/regression_mra")
