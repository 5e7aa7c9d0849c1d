#pragma once

// The inner loops of the two resize passes, in one version per instruction set: plain C++,
// SSE2 (every x86 processor this program runs on) and AVX2 (chosen at run time). All of them
// compute the same sums in the same order, in doubles without fused multiply-adds, so their
// bytes are the same; only the number of channels and pixels per instruction differs.
//
// A tap table lists for every target index the first source index and `taps` weights, the
// same number for every index: the weights of the index, then zeros. Adding a zero product to
// a sum leaves it unchanged (the sums start at +0 and never become -0), so the padding changes
// no result and lets the loops run the same count for neighbouring pixels.

#include <cstddef>
#include <cstdint>
#include <vector>

class CResizeWeights;

namespace ResizeDetail {

// What the loops read of a tap table: a plain aggregate, so that the AVX2 file needs no inline
// function that common code shares.
struct TapView {
    int32_t targets;
    int32_t taps;
    const int32_t* first;
    const double* weights;
};

class CTapTable {
public:
    explicit CTapTable(const CResizeWeights& weights);
    int32_t Targets() const { return m_targets; }
    int32_t Taps() const { return m_taps; }
    const int32_t* First() const { return m_first.data(); }
    const double* Weights() const { return m_weights.data(); }
    TapView View() const { return TapView{m_targets, m_taps, m_first.data(), m_weights.data()}; }

private:
    int32_t m_targets;
    int32_t m_taps;
    std::vector<int32_t> m_first;
    std::vector<double> m_weights;
};

// Doubles of scratch that the row pass needs for a source row of srcWidth pixels (with room
// to align it to 32 bytes).
size_t RowScratchDoubles(int32_t srcWidth, int32_t taps);

// One row of the horizontal pass: taps.targets target pixels into dst from the 32-bit row src.
using RowKernel = void (*)(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& taps, double* scratch);
// Target pixels [x0, x1) of one row of the vertical pass, from rows[0..n) weighted by w.
using ColumnKernel = void (*)(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst);

void ResampleRowPlain(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& taps, double* scratch);
void ResampleColumnsPlain(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst);
#if defined(__SSE2__)
void ResampleRowSse2(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& taps, double* scratch);
void ResampleColumnsSse2(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst);
#endif
// Work memory of a strip of the vertical pass: ring holds RingDoubles(taps, strip width)
// doubles, owner and rows `taps` entries each.
struct StripScratch {
    double* ring;
    int32_t* owner;
    const double** rows;
};
size_t RingDoubles(int32_t taps, int32_t width);

#if defined(LUMATRE_AVX2_KERNELS)
// Defined in a file of their own, built for AVX2: call them only when the processor has it.
void ResampleRowAvx2(const uint8_t* src, int32_t srcWidth, uint8_t* dst, const TapView& taps, double* scratch);
void ResampleColumnsAvx2(const uint8_t* const* rows, const double* w, int32_t n, int32_t x0, int32_t x1, uint8_t* dst);
// Columns [x0, x1) of the whole vertical pass, from the work buffer's workRows rows into the
// target rows. Each work row of the strip is turned into doubles once, into a ring of taps rows,
// instead of once for every target row that reads it.
void ResampleStripAvx2(const uint8_t* work, size_t workRowBytes, int32_t workRows, const TapView& taps, int32_t x0,
                       int32_t x1, uint8_t* const* targetRows, const StripScratch& scratch);
#endif

enum class KernelSet { Plain, Sse2, Avx2 };

// Whether this build and processor can run a set.
bool CanRun(KernelSet set);
// The best set this processor runs; the filters use it unless told otherwise (tests).
KernelSet BestKernelSet();
// The set the filters use from now on; one the processor cannot run is ignored.
void UseKernelSet(KernelSet set);
KernelSet CurrentKernelSet();
RowKernel RowKernelOf(KernelSet set);
ColumnKernel ColumnKernelOf(KernelSet set);

}  // namespace ResizeDetail
