#pragma once
// Probability distributions and special functions of the analyses, in two families.
//
// The accurate family (RealPower .. TwoTailedTProb) never reports anything: arguments outside
// the domain, singularities and overflows give fixed results (0, 1 or +-RealMax), so it can run
// inside long loops over marker pairs. It allocates nothing.
//
// The classical family (LnGammaLanczos .. ChiSquareCdf) is the one of the ANOVA engine. It tells
// the user when a computation goes wrong and then goes on with a fixed value; pass the
// UserInterface that should show the message (none: the message is dropped).

namespace rvk {

class UserInterface;

constexpr double RealMax = 1.797693134862315e308;
constexpr double RealEpsilon = 2.220446049250313e-16; // 2^-52
constexpr double ExpArgMax = 709.782712893384;
constexpr double ExpArgMin = -708.3964185322641;
constexpr double GammaArgMax = 171.624376956302;
constexpr double LnGammaArgMax = 2.556348e305;

// x^y; 0^0 = 1, 0^negative = RealMax, negative^non-integral = 0, overflow RealMax, underflow 0.
double RealPower(double x, double y);
// x^n by repeated squaring, with the special cases of RealPower.
double IntegerPower(double x, int n);
// The sign of Gamma(x): +1 for x > 0; for x <= 0, -1 when the integer part of |x| is even.
double GammaSign(double x);
// Gamma(x); +-RealMax at the poles (0 and negative integers) and beyond GammaArgMax.
double GammaFn(double x);
// ln |Gamma(x)|; RealMax at the poles and beyond LnGammaArgMax.
double LnGamma(double x);
// The regularized incomplete beta function I_x(a, b). a or b <= 0 and x < 0 give 0, x > 1
// gives 1; a complemented result too small to tell from 1 gives 1 - RealEpsilon.
double IncompleteBeta(double a, double b, double x);
// P(|T| > |t|) for Student's T with nu degrees of freedom; 0 when nu < 1.
double TwoTailedTProb(int nu, double t);
// ln I_x(a, b), also where I_x(a, b) itself is too small for a double (it is -infinity only for
// x <= 0). For tables of the t distribution far in its tails.
double LnIncompleteBeta(double a, double b, double x);

// ln Gamma(x) for x > 0 by the six-term Lanczos series (about 1e-10 relative accuracy).
long double LnGammaLanczos(long double x);
// The continued fraction of the incomplete beta integral (at most 100 passes, 3e-7 relative).
long double betacf(long double a, long double b, long double x, UserInterface *ui = nullptr);
// The regularized incomplete beta function; x <= 0 or x >= 1 is reported and gives 0.5.
long double BETAI(long double a, long double b, long double x, UserInterface *ui = nullptr);
// P(F' > F) for the F distribution with df1 and df2 degrees of freedom; 1 when F <= 0. Accurate
// to double precision also far in the tail (0 only where the tail is below the smallest double);
// degrees of freedom that are not positive are reported (twice) and give 0.5.
double FTailProb(double F, double df1, double df2, UserInterface *ui = nullptr);
// ln P(F' > F), finite also where P(F' > F) is too small for a double; reports nothing.
double FTailLnProb(double F, double df1, double df2);
// Two-tailed probability of Student's t with df degrees of freedom, FTailProb(t^2, 1, df).
double TTailProb(double t, double df, UserInterface *ui = nullptr);
// P(chi-square with k degrees of freedom <= x) by the series of the lower incomplete gamma
// function; 0.0001 below x = 0.01 and 0.999 above x = 1000.
double ChiSquareCdf(double x, int k);

// The messages of the classical family.
inline constexpr const char *BetacfMessage = "WARNING! a or b too big, or itmax too small in betacf";
inline constexpr const char *BetaiMessage = "ERROR! Problem in routine BETAI";

} // namespace rvk
