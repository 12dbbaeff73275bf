#!/bin/sh
# Times QTL mapping of a simulated F2 (1,000 individuals x 10,000 markers, 10 groups, 3 traits) with
# rvk-cli and, when R and R/qtl are installed (Debian: r-base-core r-cran-qtl), with R/qtl on the
# same data file and trait file, and prints the times side by side.
#   bench/bench_qtl_rqtl.sh [BUILD_FOLDER] [INDIVIDUALS] [MARKERS]
set -e
build=${1:-build}
individuals=${2:-1000}
markers=${3:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/rvk-simulate" --individuals "$individuals" --markers "$markers" --groups 10 --popt f2 --seed 4711 --out "$work/f2.rvk" >/dev/null

# Three traits, each with a QTL at the middle marker of groups 1, 4 and 7, as a trait file.
awk -v seed=99 '
  BEGIN { srand(seed) }
  /^name=/ { group++ ; locus = 0; next }
  /^nloc=/ { split($0, a, "="); nloc[group] = a[2]; next }
  group && !/^Alias/ && !/^"/ && NF {
    if (expect == 1) { gsub(/ /, ""); codes[group, locus] = $0; expect = 0; next }
    locus++; expect = 1; next }
  /^Alias/ { alias = 1; next }
  alias && /"/ { for (i = 1; i <= NF; i++) { n = $i; gsub(/"/, "", n); names[i] = n }; count = NF }
  END {
    print "ntrt=3"; print "nind=" count; print "miss=*"; print ""; print "traitnames\ttrait1\ttrait2\ttrait3"
    for (i = 1; i <= count; i++) {
      line = names[i]
      for (t = 0; t < 3; t++) {
        g = (3 * t) % 10 + 1; m = int(nloc[g] / 2) + 1; c = substr(codes[g, m], i, 1)
        x = (c == "A") ? 0 : (c == "B") ? 2 : 1
        u1 = rand(); u2 = rand(); z = sqrt(-2 * log(u1 + 1e-300)) * cos(6.283185307 * u2)
        line = line "\t" sprintf("%.2f", 0.4 * x + z)
      }
      print line
    }
  }' "$work/f2.rvk" > "$work/f2.qua"

start=$(date +%s.%N)
"$build/rvk-cli" qtl "$work/f2.rvk" --traits "$work/f2.qua" --step 0 --perm 0 --scan "$work/scan.tsv" >/dev/null
scan=$(echo "$(date +%s.%N) - $start" | bc)
start=$(date +%s.%N)
"$build/rvk-cli" qtl "$work/f2.rvk" --traits "$work/f2.qua" --step 0 --perm 1000 --seed 1 --scan "$work/scan.tsv" >/dev/null
perm=$(echo "$(date +%s.%N) - $start" | bc)
echo "rvk-cli qtl, reading the files included: probabilities + HK scan of 3 traits $scan s; with 1,000 permutations of each $perm s"

if ! command -v Rscript >/dev/null || ! Rscript -e 'library(qtl)' >/dev/null 2>&1; then
  echo "R/qtl is not installed: no comparison (apt-get install r-base-core r-cran-qtl)"
  exit 0
fi
Rscript - "$work/f2.rvk" "$work/f2.qua" <<'RSCRIPT'
suppressMessages(library(qtl))
args <- commandArgs(TRUE)
lines <- readLines(args[1])
geno <- list(); map <- list(); g <- 0; k <- 1
while (k <= length(lines)) {
  l <- lines[k]
  if (grepl("^name=", l)) { g <- g + 1; geno[[g]] <- list(); map[[g]] <- numeric(0) }
  else if (g > 0 && grepl("^Alias", l)) break
  else if (g > 0 && nzchar(l) && !grepl("=", l)) {
    p <- strsplit(trimws(l), " +")[[1]]
    codes <- strsplit(gsub(" ", "", lines[k + 1]), "")[[1]]
    geno[[g]][[p[1]]] <- c(A = 1, H = 2, B = 3, D = 4, C = 5)[codes]
    map[[g]][p[1]] <- as.numeric(p[2]); k <- k + 1
  }
  k <- k + 1
}
cross <- list(geno = list())
for (i in seq_along(geno)) {
  d <- do.call(cbind, geno[[i]]); m <- map[[i]]; class(m) <- "A"
  cross$geno[[as.character(i)]] <- list(data = d, map = m); class(cross$geno[[i]]) <- "A"
}
tr <- read.table(args[2], skip = 4, header = TRUE, sep = "\t", na.strings = "*")
cross$pheno <- tr[, -1]
class(cross) <- c("f2", "cross")
t1 <- system.time(cross <- calc.genoprob(cross, step = 0))[["elapsed"]]
t2 <- system.time(s <- scanone(cross, pheno.col = 1:3, method = "hk"))[["elapsed"]]
t3 <- system.time(p <- scanone(cross, pheno.col = 1, method = "hk", n.perm = 100, verbose = FALSE))[["elapsed"]]
cat(sprintf("R/qtl: calc.genoprob %.1f s; scanone hk of 3 traits %.1f s; 100 permutations of 1 trait %.1f s (x30 for 1,000 of 3: %.0f s)\n",
            t1, t2, t3, 30 * t3))
RSCRIPT
