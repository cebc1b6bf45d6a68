#pragma once
// The accurate integer inverse DCT of the imaging service's decoder: 13-bit
// constants, a 2-bit guard after the first pass, and the same products
// summed in the same order, so that it gives the same samples. Colour kept
// at half resolution is brought up the way that decoder brings it up: by
// working its blocks out at 16 samples a side instead of 8.
//
// The kernels are written once for any value that adds, subtracts and
// multiplies modulo 2^32: one sum (uint32_t) or eight side by side (a
// vector of 32-bit lanes), which wrap alike and so give the same samples.
#include <cstdint>

namespace varnel {

constexpr int kConstBits = 13, kPass1Bits = 2;
constexpr int32_t Fix(double x) { return static_cast<int32_t>(x * (1 << kConstBits) + 0.5); }
// A constant worked out while compiling, whatever the optimiser does.
template <int32_t value>
constexpr int32_t kFixed = value;

// Sums of a damaged file's coefficients can pass 32 bits. They wrap, as in
// the imaging service's compiled decoder, so that such a file still decodes
// to what it gets and never into undefined arithmetic.
using Wrapping = uint32_t;

inline Wrapping Scaled(Wrapping x) { return x << kConstBits; }

// The 8-point kernel: `x` the eight inputs, `fudge` the rounding (and
// centring) added to the first; outputs before the final shift.
template <typename V>
[[gnu::always_inline]] inline void Kernel8(const V* x, V fudge, V* y) {
    const V z2e = Scaled(x[0]) + fudge, z3e = Scaled(x[4]);
    const V t0 = z2e + z3e, t1 = z2e - z3e;
    const V z1e = (x[2] + x[6]) * kFixed<Fix(0.541196100)>;
    const V t2 = z1e + x[2] * kFixed<Fix(0.765366865)>, t3 = z1e - x[6] * kFixed<Fix(1.847759065)>;
    const V t10 = t0 + t2, t13 = t0 - t2, t11 = t1 + t3, t12 = t1 - t3;
    const V o0 = x[7], o1 = x[5], o2 = x[3], o3 = x[1];
    V z2 = o0 + o2, z3 = o1 + o3;
    V z1 = (z2 + z3) * kFixed<Fix(1.175875602)>;
    z2 = z2 * -kFixed<Fix(1.961570560)> + z1;
    z3 = z3 * -kFixed<Fix(0.390180644)> + z1;
    z1 = (o0 + o3) * -kFixed<Fix(0.899976223)>;
    const V a0 = o0 * kFixed<Fix(0.298631336)> + z1 + z2, a3 = o3 * kFixed<Fix(1.501321110)> + z1 + z3;
    z1 = (o1 + o2) * -kFixed<Fix(2.562915447)>;
    const V a1 = o1 * kFixed<Fix(2.053119869)> + z1 + z3, a2 = o2 * kFixed<Fix(3.072711026)> + z1 + z2;
    const V even[4] = {t10, t11, t12, t13}, odd[4] = {a3, a2, a1, a0};
    for (int k = 0; k < 4; ++k) {
        y[k] = even[k] + odd[k];
        y[7 - k] = even[k] - odd[k];
    }
}

// The 16-point kernel, from the same eight inputs.
template <typename V>
[[gnu::always_inline]] inline void Kernel16(const V* x, V fudge, V* y) {
    V t0 = Scaled(x[0]) + fudge;
    V z1 = x[4];
    V t1 = z1 * kFixed<Fix(1.306562965)>, t2 = z1 * kFixed<Fix(0.541196100)>;
    V t10 = t0 + t1, t11 = t0 - t1, t12 = t0 + t2, t13 = t0 - t2;
    z1 = x[2];
    V z2 = x[6];
    V z3 = z1 - z2;
    V z4 = z3 * kFixed<Fix(0.275899379)>;
    z3 = z3 * kFixed<Fix(1.387039845)>;
    t0 = z3 + z2 * kFixed<Fix(2.562915447)>;
    t1 = z4 + z1 * kFixed<Fix(0.899976223)>;
    t2 = z3 - z1 * kFixed<Fix(0.601344887)>;
    V t3 = z4 - z2 * kFixed<Fix(0.509795579)>;
    const V e0 = t10 + t0, e7 = t10 - t0, e1 = t12 + t1, e6 = t12 - t1;
    const V e2 = t13 + t2, e5 = t13 - t2, e3 = t11 + t3, e4 = t11 - t3;

    z1 = x[1];
    z2 = x[3];
    z3 = x[5];
    z4 = x[7];
    t11 = z1 + z3;
    t1 = (z1 + z2) * kFixed<Fix(1.353318001)>;
    t2 = t11 * kFixed<Fix(1.247225013)>;
    t3 = (z1 + z4) * kFixed<Fix(1.093201867)>;
    t10 = (z1 - z4) * kFixed<Fix(0.897167586)>;
    t11 = t11 * kFixed<Fix(0.666655658)>;
    t12 = (z1 - z2) * kFixed<Fix(0.410524528)>;
    t0 = t1 + t2 + t3 - z1 * kFixed<Fix(2.286341144)>;
    t13 = t10 + t11 + t12 - z1 * kFixed<Fix(1.835730603)>;
    z1 = (z2 + z3) * kFixed<Fix(0.138617169)>;
    t1 = t1 + (z1 + z2 * kFixed<Fix(0.071888074)>);
    t2 = t2 + (z1 - z3 * kFixed<Fix(1.125726048)>);
    z1 = (z3 - z2) * kFixed<Fix(1.407403738)>;
    t11 = t11 + (z1 - z3 * kFixed<Fix(0.766367282)>);
    t12 = t12 + (z1 + z2 * kFixed<Fix(1.971951411)>);
    z2 = z2 + z4;
    z1 = z2 * -kFixed<Fix(0.666655658)>;
    t1 = t1 + z1;
    t3 = t3 + (z1 + z4 * kFixed<Fix(1.065388962)>);
    z2 = z2 * -kFixed<Fix(1.247225013)>;
    t10 = t10 + (z2 + z4 * kFixed<Fix(3.141271809)>);
    t12 = t12 + z2;
    z2 = (z3 + z4) * -kFixed<Fix(1.353318001)>;
    t2 = t2 + z2;
    t3 = t3 + z2;
    z2 = (z4 - z3) * kFixed<Fix(0.410524528)>;
    t10 = t10 + z2;
    t11 = t11 + z2;

    const V even[8] = {e0, e1, e2, e3, e4, e5, e6, e7}, odd[8] = {t0, t1, t2, t3, t10, t11, t12, t13};
    for (int k = 0; k < 8; ++k) {
        y[k] = even[k] + odd[k];
        y[15 - k] = even[k] - odd[k];
    }
}

}  // namespace varnel
