# Makes the QTL-mapping fixtures of tests/genetics/test_qtl*.cpp with R/qtl (Debian's
# r-cran-qtl 1.58): one small population per cross type (bc, f2, ri = RIL by selfing, dh), written
# as a data file (.rvk) and a trait file (.qua), and what R/qtl computes from exactly those files:
#   <type>_genoprob.tsv  calc.genoprob(step, error.prob = 1e-4, "haldane") of individuals 1..20
#   <type>_scan.tsv      scanone(method = "hk") and scanone(method = "em") of both traits
#   <type>_peaks.tsv     per trait and group: lodint(drop = 1.5), bayesint(prob = 0.95) of the hk
#                        scan, and fitqtl(method = "hk", get.ests = TRUE) at the hk peak
#   f2_kosambi_scan.tsv  the f2 set again with step 1, "kosambi" and error.prob = 0.01
#   <type>_cim.tsv       cim(n.marcovar = 2, window = 10, method = "hk", imp.method = "argmax")
# Run once from this folder:  Rscript make_fixtures.R
# The outputs are kept; the tests never run R.
suppressMessages(library(qtl))
set.seed(20261211)

positions <- list(c(0, 7.3, 15.1, 15.1, 22.8, 34.5, 41.0), c(3.2, 10.0, 18.6, 30.1, 37.5))
n.ind <- 60
ind.names <- paste0("ind", 1:n.ind)
codes <- list(bc = c("A", "H"), f2 = c("A", "H", "B", "D", "C"), ri = c("A", "B"), dh = c("A", "B"))
# codes outside each type's classes: missing, like "-", "U", "u" and "."
foreign <- list(bc = "B", f2 = "X", ri = "H", dh = "H")
steps <- c(bc = 2, f2 = 2.5, ri = 2, dh = 2)

make.map <- function() {
  map <- list()
  k <- 0
  for (g in seq_along(positions)) {
    p <- positions[[g]]
    names(p) <- paste0("m", k + seq_along(p))
    k <- k + length(p)
    class(p) <- "A"
    map[[as.character(g)]] <- p
  }
  class(map) <- "map"
  map
}

make.cross <- function(type) {
  map <- make.map()
  simtype <- switch(type, bc = "bc", f2 = "f2", ri = "riself", dh = "bc")
  x <- sim.cross(map, type = simtype, n.ind = n.ind, model = NULL, error.prob = 0, missing.prob = 0)
  if (type == "dh") class(x)[1] <- "dh"
  true5 <- x$geno[[1]]$data[, "m5"]
  true10 <- x$geno[[2]]$data[, "m10"]
  # traits: a QTL at m5 (group 1) for T1, a weaker one at m10 (group 2) for T2
  T1 <- 1.2 * (true5 - 1) + rnorm(n.ind)
  T2 <- 0.5 * (true10 - 1) + rnorm(n.ind, sd = 0.8) + 10
  T1 <- as.numeric(sprintf("%.2f", T1))
  T2 <- as.numeric(sprintf("%.2f", T2))
  T1[c(3, 17, 33, 41, 58)] <- NA
  T2[c(5, 17, 22)] <- NA
  T1[60] <- NA   # ind60 is not in the trait file
  T2[60] <- NA
  x$pheno <- data.frame(T1 = T1, T2 = T2)
  # missing scores, and in the F2 some partial scores (D = not B, C = not A)
  for (g in 1:2) {
    d <- x$geno[[g]]$data
    miss <- matrix(runif(length(d)) < 0.07, nrow(d))
    if (type == "f2") {
      partial <- matrix(runif(length(d)) < 0.08, nrow(d)) & !miss
      d[partial & d != 3] <- 4
      d[partial & d == 3] <- 5
    }
    d[miss] <- NA
    x$geno[[g]]$data <- d
  }
  x
}

write.rvk <- function(x, type, path) {
  map <- pull.map(x)
  lines <- c(paste0("nchrom=", length(map)), paste0("nind=", n.ind), paste0("popt=", type))
  missing.codes <- c("-", "U", "u", ".", foreign[[type]])
  k <- 0
  for (g in seq_along(map)) {
    d <- x$geno[[g]]$data
    lines <- c(lines, "", paste0("name=chr", g), paste0("nloc=", ncol(d)))
    for (m in seq_len(ncol(d))) {
      s <- character(n.ind)
      for (i in 1:n.ind) {
        if (is.na(d[i, m])) {
          k <- k + 1
          s[i] <- missing.codes[(k %% length(missing.codes)) + 1]
        } else {
          s[i] <- codes[[type]][d[i, m]]
          if (i == 7) s[i] <- tolower(s[i]) # one individual scored in lower case
        }
      }
      lines <- c(lines, sprintf("%s  %.1f ", colnames(d)[m], map[[g]][m]), paste(s, collapse = ""))
    }
  }
  lines <- c(lines, "Alias", paste(paste0("\"", ind.names, "\""), collapse = " "))
  writeLines(lines, path)
}

write.qua <- function(x, path) {
  order <- sample(1:59) # ind60 is left out; an individual the data set lacks is added
  lines <- c("ntrt=2", "nind=60", "miss=*", "", "traitnames\tT1\tT2")
  fmt <- function(v) ifelse(is.na(v), "*", sprintf("%.2f", v))
  for (i in order) lines <- c(lines, paste(ind.names[i], fmt(x$pheno$T1[i]), fmt(x$pheno$T2[i]), sep = "\t"))
  lines <- c(lines[1:8], "extra1\t3.00\t4.00", lines[-(1:8)])
  writeLines(lines, path)
}

locus.name <- function(rn) ifelse(grepl("(^|\\.)loc[0-9.]", rn), "", rn)

for (type in names(codes)) {
  x <- make.cross(type)
  write.rvk(x, type, paste0(type, ".rvk"))
  write.qua(x, paste0(type, ".qua"))

  x <- calc.genoprob(x, step = steps[[type]], error.prob = 1e-4, map.function = "haldane")
  out <- character(0)
  for (g in 1:nchr(x)) {
    pr <- x$geno[[g]]$prob
    pos <- attr(pr, "map")
    for (j in seq_along(pos))
      for (i in 1:20)
        out <- c(out, paste(g, locus.name(names(pos)[j]), sprintf("%.10g", pos[j]), ind.names[i],
                            paste(sprintf("%.8f", pr[i, j, ]), collapse = "\t"), sep = "\t"))
  }
  writeLines(c(paste("group\tlocus\tposition\tindividual", paste(dimnames(x$geno[[1]]$prob)[[3]], collapse = "\t"), sep = "\t"), out),
             paste0(type, "_genoprob.tsv"))

  hk <- scanone(x, pheno.col = 1:2, method = "hk")
  em <- scanone(x, pheno.col = 1:2, method = "em")
  scan <- data.frame(group = as.character(hk$chr), locus = locus.name(rownames(hk)), position = sprintf("%.10g", hk$pos),
                     hk.T1 = sprintf("%.6f", hk$T1), hk.T2 = sprintf("%.6f", hk$T2),
                     em.T1 = sprintf("%.6f", em$T1), em.T2 = sprintf("%.6f", em$T2))
  write.table(scan, paste0(type, "_scan.tsv"), sep = "\t", quote = FALSE, row.names = FALSE)

  peaks <- NULL
  for (t in 1:2) {
    n <- sum(!is.na(x$pheno[, t]))
    for (g in 1:2) {
      li <- lodint(hk, chr = g, drop = 1.5, lodcolumn = t)
      bi <- bayesint(hk, chr = g, prob = 0.95, lodcolumn = t)
      peak <- li[2, 2]
      lod <- li[2, 2 + t]
      # the effects as fitqtl(method = "hk", get.ests = TRUE) codes them (backcross AA/AB -1/2, +1/2;
      # RIL and DH AA/BB -1, +1; intercross a: -1/0/+1, d: 0/1/0), fitted by lm on the expected
      # codes at the peak (makeqtl refuses groups with two markers at one position)
      pr <- x$geno[[g]]$prob
      j <- which(sub("^c[0-9]+\\.", "", trimws(rownames(li)[2])) == dimnames(pr)[[2]])
      stopifnot(length(j) == 1)
      p <- pr[, j, ]
      y <- x$pheno[, t]
      if (type == "f2") est <- coef(lm(y ~ I(p[, 3] - p[, 1]) + p[, 2]))
      else if (type == "bc") est <- coef(lm(y ~ I((p[, 2] - p[, 1]) / 2)))
      else est <- coef(lm(y ~ I(p[, 2] - p[, 1])))
      if (g == 1 && type != "ri") { # where makeqtl can, fitqtl gives the same effects
        f <- fitqtl(x, pheno.col = t, qtl = makeqtl(x, chr = g, pos = peak, what = "prob"), method = "hk", get.ests = TRUE, dropone = FALSE)
        stopifnot(isTRUE(all.equal(unname(summary(f)$ests[-1, 1]), unname(est[-1]))))
      }
      peaks <- rbind(peaks, data.frame(trait = names(x$pheno)[t], group = g, n = n, peak = sprintf("%.10g", peak),
                                       lod = sprintf("%.6f", lod),
                                       lodint.low = sprintf("%.10g", li[1, 2]), lodint.high = sprintf("%.10g", li[3, 2]),
                                       bayes.low = sprintf("%.10g", bi[1, 2]), bayes.high = sprintf("%.10g", bi[3, 2]),
                                       bayes.peak = sprintf("%.10g", bi[2, 2]),
                                       variance = sprintf("%.6f", 100 * (1 - 10^(-2 * lod / n))),
                                       additive = sprintf("%.6f", est[2]),
                                       dominance = if (length(est) > 2) sprintf("%.6f", est[3]) else "NA"))
    }
  }
  write.table(peaks, paste0(type, "_peaks.tsv"), sep = "\t", quote = FALSE, row.names = FALSE)

  if (type == "f2") {
    k <- calc.genoprob(x, step = 1, error.prob = 0.01, map.function = "kosambi")
    khk <- scanone(k, pheno.col = 1:2, method = "hk")
    kem <- scanone(k, pheno.col = 1:2, method = "em")
    scan <- data.frame(group = as.character(khk$chr), locus = locus.name(rownames(khk)), position = sprintf("%.10g", khk$pos),
                       hk.T1 = sprintf("%.6f", khk$T1), hk.T2 = sprintf("%.6f", khk$T2),
                       em.T1 = sprintf("%.6f", kem$T1), em.T2 = sprintf("%.6f", kem$T2))
    write.table(scan, "f2_kosambi_scan.tsv", sep = "\t", quote = FALSE, row.names = FALSE)
  }

  cims <- NULL
  for (t in 1:2) {
    ci <- cim(x, pheno.col = t, n.marcovar = 2, window = 10, method = "hk", imp.method = "argmax",
              error.prob = 1e-4, map.function = "haldane")
    cims <- cbind(cims, sprintf("%.6f", ci[, 3]))
    writeLines(paste0(names(x$pheno)[t], " cofactors: ", paste(attr(ci, "marker.covar"), collapse = " ")))
    colnames(cims)[t] <- names(x$pheno)[t]
  }
  write.table(data.frame(group = as.character(hk$chr), locus = locus.name(rownames(hk)), position = sprintf("%.10g", hk$pos), cims),
              paste0(type, "_cim.tsv"), sep = "\t", quote = FALSE, row.names = FALSE)
}
