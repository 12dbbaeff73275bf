#!/usr/bin/env python3
# Writes the small panel of the mixed-model, kinship and PCA tests: 36 inbred lines from two
# sub-populations, 3 linkage groups of 15 markers (one of them monomorphic), two traits (the
# second missing for 5 lines), as an RVK data file, a trait file and GEMMA's BIMBAM files.
# The reference numbers beside it were made from these files by make_reference.sh.
import random

random.seed(20261211)
n, groups, per_group = 36, 3, 15
sub = [0] * 18 + [1] * 18
random.shuffle(sub)
names = ["L%02d" % (i + 1) for i in range(n)]
markers = []  # (group, name, position, codes)
for g in range(groups):
    prev = None
    for k in range(per_group):
        name = "g%dm%02d" % (g + 1, k + 1)
        pos = round(k * 7.5 + random.random() * 2, 1)
        p = [random.uniform(0.1, 0.9), random.uniform(0.1, 0.9)]
        codes = []
        for i in range(n):
            if prev is not None and random.random() < 0.6:
                c = prev[i]
            else:
                c = "B" if random.random() < p[sub[i]] else "A"
            codes.append(c)
        prev = list(codes)
        if g == 1 and k == 4:
            codes = ["A"] * n  # monomorphic
        else:
            for i in range(n):
                r = random.random()
                if r < 0.05:
                    codes[i] = "H"
                elif r < 0.09:
                    codes[i] = "-"
        markers.append((g, name, pos, "".join(codes)))

dose = {"A": 0, "H": 1, "B": 2}
def x(m, i):
    return dose.get(markers[m][3][i])

t1, t2 = [], []
poly = [random.gauss(0, 1) for _ in range(n)]
for i in range(n):
    v1 = 10 + 1.5 * (x(7, i) if x(7, i) is not None else 1) + 2.0 * sub[i] + poly[i] + random.gauss(0, 1)
    v2 = 5 - 1.0 * (x(33, i) if x(33, i) is not None else 1) + 1.0 * sub[i] + 0.5 * poly[i] + random.gauss(0, 0.8)
    t1.append(round(v1, 2))
    t2.append(round(v2, 2))
missing2 = {3, 11, 19, 26, 30}

with open("panel.rvk", "w") as f:
    f.write("nchrom=%d\nnind=%d\npopt=ri\n\n" % (groups, n))
    for g in range(groups):
        f.write("name=chr%d\nnloc=%d\n" % (g + 1, per_group))
        for (gg, name, pos, codes) in markers:
            if gg == g:
                f.write("%s  %.1f\n%s\n" % (name, pos, codes))
        f.write("alias " + " ".join(names) + "\n\n")
with open("panel.qua", "w") as f:
    f.write(";two traits of the panel, the second missing for five lines\nntrt=2\nnind=%d\nmiss=-\n\n" % n)
    f.write("traitnames\tT1\tT2\n")
    for i in range(n):
        f.write("%s\t%.2f\t%s\n" % (names[i], t1[i], "-" if i in missing2 else "%.2f" % t2[i]))
with open("panel.geno.txt", "w") as f:
    for (g, name, pos, codes) in markers:
        f.write(name + ", B, A, " + ", ".join("NA" if dose.get(c) is None else str(dose[c]) for c in codes) + "\n")
with open("panel.pheno.txt", "w") as f:
    for i in range(n):
        f.write("%.2f\t%s\n" % (t1[i], "NA" if i in missing2 else "%.2f" % t2[i]))
# The same panel as a VCF for plink2, and GEMMA's files of the 31 lines that have T2.
with open("panel.vcf", "w") as f:
    f.write("##fileformat=VCFv4.2\n#CHROM\tPOS\tID\tREF\tALT\tQUAL\tFILTER\tINFO\tFORMAT\t" + "\t".join(names) + "\n")
    gt = {"A": "0/0", "H": "0/1", "B": "1/1"}
    for (g, name, pos, codes) in markers:
        f.write("%d\t%d\t%s\tA\tB\t.\t.\t.\tGT\t" % (g + 1, int(pos * 1000) + 1, name) + "\t".join(gt.get(c, "./.") for c in codes) + "\n")
keep = [i for i in range(n) if i not in missing2]
with open("panel_t2.geno.txt", "w") as f:
    for (g, name, pos, codes) in markers:
        f.write(name + ", B, A, " + ", ".join("NA" if dose.get(codes[i]) is None else str(dose[codes[i]]) for i in keep) + "\n")
with open("panel_t2.pheno.txt", "w") as f:
    for i in keep:
        f.write("%.2f\n" % t2[i])
