#!/bin/sh
# Reference numbers of the panel tests, made once with Debian's gemma 0.98.5 and plink2
# 2.00a3.5 from the files make_panel.py writes (the tests need neither program):
#   k_all.txt    kinship of the 36 lines, GEMMA -gk 1 (T1 has all 36)
#   k_t2.txt     kinship of the 31 lines that have T2, GEMMA -gk 1 on their files alone
#   lmm_t1.txt   the exact mixed model (-lmm 1) of T1 with k_all.txt
#   lmm_t1_null.txt  GEMMA's null-model estimates of T1 from its log
#   lmm_t2.txt   the exact mixed model of T2 with k_t2.txt
#   eigen_d.txt, eigen_u.txt   GEMMA -eigen of k_all.txt (eigenvalues ascending)
#   lmm_t1_pc2.txt   the model of T1 with the intercept and the eigenvectors of the two largest
#                    eigenvalues as covariates (-c)
#   pca.eigenvec, pca.eigenval   plink2 --pca 4 of the standardised dosages of the 12 markers
#                without missing calls (--geno 0: plink2 scales the relatedness of a pair by
#                the markers called in both, which only agrees where nothing is missing), with
#                the frequencies of the 36 lines themselves (--freq then --read-freq: plink2
#                wants 50 samples to estimate them itself)
set -e
cd "$(dirname "$0")"
rm -rf work && mkdir work && cd work
gemma -g ../panel.geno.txt -p ../panel.pheno.txt -n 1 -gk 1 -miss 1 -o k1 >/dev/null
gemma -g ../panel_t2.geno.txt -p ../panel_t2.pheno.txt -gk 1 -miss 1 -o k2 >/dev/null
gemma -g ../panel.geno.txt -p ../panel.pheno.txt -n 1 -k output/k1.cXX.txt -lmm 1 -miss 1 -o t1 >/dev/null
gemma -g ../panel_t2.geno.txt -p ../panel_t2.pheno.txt -k output/k2.cXX.txt -lmm 1 -miss 1 -o t2 >/dev/null
gemma -g ../panel.geno.txt -p ../panel.pheno.txt -n 1 -k output/k1.cXX.txt -eigen -o e1 >/dev/null
awk '{print 1, $36, $35}' output/e1.eigenU.txt > cov.txt
gemma -g ../panel.geno.txt -p ../panel.pheno.txt -n 1 -k output/k1.cXX.txt -c cov.txt -lmm 1 -miss 1 -o t1pc >/dev/null
plink2 --vcf ../panel.vcf --geno 0 --freq --out f >/dev/null
plink2 --vcf ../panel.vcf --geno 0 --read-freq f.afreq --pca 4 --out pca >/dev/null
cp output/k1.cXX.txt ../k_all.txt
cp output/k2.cXX.txt ../k_t2.txt
cp output/t1.assoc.txt ../lmm_t1.txt
grep "null model" output/t1.log.txt > ../lmm_t1_null.txt
cp output/t2.assoc.txt ../lmm_t2.txt
cp output/t1pc.assoc.txt ../lmm_t1_pc2.txt
cp output/e1.eigenD.txt ../eigen_d.txt
cp output/e1.eigenU.txt ../eigen_u.txt
cp pca.eigenvec ../pca.eigenvec
cp pca.eigenval ../pca.eigenval
cd .. && rm -rf work
