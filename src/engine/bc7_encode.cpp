#include "engine/bc7_encode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "engine/bc7_tables.h"

namespace {

// ---------------------------------------------------------------------------
// End point values. A stored end point channel of `bits` bits (its p-bit,
// where the mode has one, as the lowest) is widened to 8 bits by repeating
// its top bits below it.

constexpr int widen(int code, int bits) {
    const int high = code << (8 - bits);
    return high | high >> bits;
}

enum class PBit { none, perEnd, shared };

// For every 8-bit value the stored value of `bits` bits whose widening is
// nearest: without a p-bit (column 0) and with p-bit 0 or 1 (columns 1, 2).
struct QuantTables {
    std::uint8_t code[9][3][256];
};

constexpr QuantTables makeQuantTables() {
    QuantTables t{};
    for (int bits = 1; bits <= 8; ++bits)
        for (int column = 0; column < 3; ++column)
            for (int x = 0; x < 256; ++x) {
                const int p = column - 1;
                const int step = p < 0 ? 1 : 2;
                const int count = p < 0 ? 1 << bits : 1 << (bits - 1);
                const int guess = x * (count - 1) / 255;
                int best = 0, bestError = 1 << 30;
                for (int q = std::max(0, guess - 2); q <= std::min(count - 1, guess + 2); ++q) {
                    const int code = q * step + std::max(p, 0);
                    const int d = widen(code, bits) - x;
                    if (d * d < bestError) best = code, bestError = d * d;
                }
                t.code[bits][column][x] = static_cast<std::uint8_t>(best);
            }
    return t;
}

constexpr QuantTables kQuant = makeQuantTables();

// The nearest index to a weight 0..64, per index bits.
struct NearestTables {
    std::uint8_t index[5][65];
};

// std::abs is not constexpr before C++23; GCC takes it anyway, clang not.
constexpr int distance(int a, int b) { return a < b ? b - a : a - b; }

constexpr NearestTables makeNearestTables() {
    NearestTables t{};
    for (int bits = 2; bits <= 4; ++bits)
        for (int w = 0; w <= 64; ++w) {
            int best = 0;
            for (int k = 1; k < 1 << bits; ++k)
                if (distance(bc7Weights(bits)[k], w) < distance(bc7Weights(bits)[best], w)) best = k;
            t.index[bits][w] = static_cast<std::uint8_t>(best);
        }
    return t;
}

constexpr NearestTables kNearest = makeNearestTables();

// Mode 5's colour end points whose interpolation at index 1 is exactly
// each 8-bit value: one colour is stored without error.
struct FlatTables {
    std::uint8_t first[256], second[256];
};

constexpr FlatTables makeFlatTables() {
    FlatTables t{};
    for (int v = 0; v < 256; ++v) {
        int bestError = 1 << 30;
        for (int a = std::max(0, v / 2 - 4); a <= std::min(127, v / 2 + 4); ++a)
            for (int b = std::max(0, v / 2 - 4); b <= std::min(127, v / 2 + 4); ++b) {
                const int error = distance(bc7Interpolate(widen(a, 7), widen(b, 7), kBc7Weights2[1]), v);
                if (error < bestError) {
                    bestError = error;
                    t.first[v] = static_cast<std::uint8_t>(a);
                    t.second[v] = static_cast<std::uint8_t>(b);
                }
            }
    }
    return t;
}

constexpr FlatTables kFlat = makeFlatTables();

// ---------------------------------------------------------------------------
// One subset's end point line: NC channels from channel `First` of the
// pixels listed in a subset.

using Pixels = int[16][4];

struct Subset {
    std::uint8_t pixel[16];
    int count = 0;
};

struct EndFormat {
    int bits;         // stored bits per channel, p-bit included
    PBit pBit;
    bool pBitOne;     // only p-bit 1: alpha 255 stays exact in mode 6
    int indexBits;
};

struct Line {
    int code[2][4] = {};  // stored end points, p-bit lowest
    std::uint8_t index[16] = {};
    int error = 1 << 30;
};

template <int NC>
struct FloatEnds {
    float end[2][NC];
};

int clampByte(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 255.0f))); }

// Indices for the end points in `line.code` and the exact error the
// decoder's interpolation leaves.
template <int NC, int First>
void assignIndices(const Pixels px, const Subset& subset, const EndFormat& f, Line& line) {
    const int levels = 1 << f.indexBits;
    const std::uint8_t* weights = bc7Weights(f.indexBits);
    int a[NC], d[NC], dd = 0;
    int palette[16][NC];
    for (int c = 0; c < NC; ++c) {
        a[c] = widen(line.code[0][c], f.bits);
        const int b = widen(line.code[1][c], f.bits);
        d[c] = b - a[c];
        dd += d[c] * d[c];
        for (int k = 0; k < levels; ++k) palette[k][c] = bc7Interpolate(a[c], b, weights[k]);
    }
    const float scale = dd ? 64.0f / static_cast<float>(dd) : 0.0f;
    int total = 0;
    for (int i = 0; i < subset.count; ++i) {
        const int* p = px[subset.pixel[i]] + First;
        int dot = 0;
        for (int c = 0; c < NC; ++c) dot += (p[c] - a[c]) * d[c];
        const float t = std::clamp(static_cast<float>(dot) * scale, 0.0f, 64.0f);
        const int k = kNearest.index[f.indexBits][static_cast<int>(t + 0.5f)];
        const int other = static_cast<float>(weights[k]) < t ? std::min(k + 1, levels - 1) : std::max(k - 1, 0);
        int errorK = 0, errorOther = 0;
        for (int c = 0; c < NC; ++c) {
            const int e = palette[k][c] - p[c], o = palette[other][c] - p[c];
            errorK += e * e;
            errorOther += o * o;
        }
        const bool takeOther = errorOther < errorK;
        line.index[subset.pixel[i]] = static_cast<std::uint8_t>(takeOther ? other : k);
        total += takeOther ? errorOther : errorK;
    }
    line.error = total;
}

template <int NC>
void quantizeEnd(const float* end, int bits, int column, int* code) {
    for (int c = 0; c < NC; ++c) code[c] = kQuant.code[bits][column][clampByte(end[c])];
}

template <int NC>
float quantizationError(const float* end, int bits, int column) {
    float error = 0;
    for (int c = 0; c < NC; ++c) {
        const float d = static_cast<float>(widen(kQuant.code[bits][column][clampByte(end[c])], bits)) - end[c];
        error += d * d;
    }
    return error;
}

// The p-bit column (1 or 2) that moves an end point least.
template <int NC>
int nearerColumn(const float* end, int bits) {
    return quantizationError<NC>(end, bits, 2) < quantizationError<NC>(end, bits, 1) ? 2 : 1;
}

// Quantizes float end points under the format's p-bit rules. A thorough
// search keeps the p-bits that leave the smallest block error; a quick one
// takes those that move the end points least.
template <int NC, int First>
void quantizeAndAssign(const Pixels px, const Subset& subset, const EndFormat& f, const FloatEnds<NC>& ends,
                       bool thorough, Line& best) {
    Line candidate;
    auto tryColumns = [&](int column0, int column1) {
        quantizeEnd<NC>(ends.end[0], f.bits, column0, candidate.code[0]);
        quantizeEnd<NC>(ends.end[1], f.bits, column1, candidate.code[1]);
        assignIndices<NC, First>(px, subset, f, candidate);
        if (candidate.error < best.error) best = candidate;
    };
    switch (f.pBit) {
        case PBit::none:
            tryColumns(0, 0);
            break;
        case PBit::shared:
            if (thorough) {
                tryColumns(1, 1);
                tryColumns(2, 2);
            } else {
                const bool one = quantizationError<NC>(ends.end[0], f.bits, 2) + quantizationError<NC>(ends.end[1], f.bits, 2) <
                                 quantizationError<NC>(ends.end[0], f.bits, 1) + quantizationError<NC>(ends.end[1], f.bits, 1);
                tryColumns(one ? 2 : 1, one ? 2 : 1);
            }
            break;
        case PBit::perEnd:
            if (f.pBitOne) {
                tryColumns(2, 2);
                break;
            }
            if (!thorough) {
                tryColumns(nearerColumn<NC>(ends.end[0], f.bits), nearerColumn<NC>(ends.end[1], f.bits));
                break;
            }
            for (int p0 = 1; p0 <= 2; ++p0)
                for (int p1 = 1; p1 <= 2; ++p1) tryColumns(p0, p1);
            break;
    }
}

// End points from the principal axis: the extremes of the pixels'
// projections onto it through their mean.
template <int NC, int First>
FloatEnds<NC> axisEnds(const Pixels px, const Subset& subset) {
    float mean[NC] = {};
    for (int i = 0; i < subset.count; ++i)
        for (int c = 0; c < NC; ++c) mean[c] += static_cast<float>(px[subset.pixel[i]][First + c]);
    for (float& m : mean) m /= static_cast<float>(subset.count);
    float cov[NC][NC] = {};
    for (int i = 0; i < subset.count; ++i) {
        float d[NC];
        for (int c = 0; c < NC; ++c) d[c] = static_cast<float>(px[subset.pixel[i]][First + c]) - mean[c];
        for (int r = 0; r < NC; ++r)
            for (int c = 0; c < NC; ++c) cov[r][c] += d[r] * d[c];
    }
    // Power iteration from the row of the widest channel.
    int widest = 0;
    for (int c = 1; c < NC; ++c)
        if (cov[c][c] > cov[widest][widest]) widest = c;
    float axis[NC];
    for (int c = 0; c < NC; ++c) axis[c] = cov[widest][c];
    for (int step = 0; step < 4; ++step) {
        float next[NC] = {};
        for (int r = 0; r < NC; ++r)
            for (int c = 0; c < NC; ++c) next[r] += cov[r][c] * axis[c];
        float length = 0;
        for (float v : next) length = std::max(length, std::fabs(v));
        if (length == 0.0f) break;
        for (int c = 0; c < NC; ++c) axis[c] = next[c] / length;
    }
    float norm = 0;
    for (float v : axis) norm += v * v;
    float low = 0, high = 0;
    if (norm > 0.0f)
        for (int i = 0; i < subset.count; ++i) {
            float t = 0;
            for (int c = 0; c < NC; ++c) t += (static_cast<float>(px[subset.pixel[i]][First + c]) - mean[c]) * axis[c];
            t /= norm;
            low = std::min(low, t);
            high = std::max(high, t);
        }
    FloatEnds<NC> ends;
    for (int c = 0; c < NC; ++c) {
        ends.end[0][c] = mean[c] + low * axis[c];
        ends.end[1][c] = mean[c] + high * axis[c];
    }
    return ends;
}

// Least-squares end points for the indices of `line`; false when every
// pixel has the same weight.
template <int NC, int First>
bool leastSquaresEnds(const Pixels px, const Subset& subset, const EndFormat& f, const Line& line,
                      FloatEnds<NC>& ends) {
    const std::uint8_t* weights = bc7Weights(f.indexBits);
    float aa = 0, ab = 0, bb = 0, ax[NC] = {}, bx[NC] = {};
    for (int i = 0; i < subset.count; ++i) {
        const int pixel = subset.pixel[i];
        const float w = static_cast<float>(weights[line.index[pixel]]) / 64.0f, v = 1.0f - w;
        aa += v * v;
        ab += v * w;
        bb += w * w;
        for (int c = 0; c < NC; ++c) {
            ax[c] += v * static_cast<float>(px[pixel][First + c]);
            bx[c] += w * static_cast<float>(px[pixel][First + c]);
        }
    }
    const float determinant = aa * bb - ab * ab;
    if (determinant < 1e-4f) return false;
    for (int c = 0; c < NC; ++c) {
        ends.end[0][c] = (ax[c] * bb - bx[c] * ab) / determinant;
        ends.end[1][c] = (bx[c] * aa - ax[c] * ab) / determinant;
    }
    return true;
}

// How hard a line is fitted: least-squares rounds after the axis, and
// whether p-bits are chosen by the block error.
struct Effort {
    int refinements;
    bool thorough;
};
constexpr Effort kFull{2, true};
// Opaque blocks, the bulk of the work: one least-squares round, p-bits by
// the nearest end points.
constexpr Effort kOpaque{1, false};

template <int NC, int First>
Line fitLine(const Pixels px, const Subset& subset, const EndFormat& f, Effort effort = kFull) {
    Line best;
    quantizeAndAssign<NC, First>(px, subset, f, axisEnds<NC, First>(px, subset), effort.thorough, best);
    for (int step = 0; step < effort.refinements && best.error > 0; ++step) {
        FloatEnds<NC> ends;
        if (!leastSquaresEnds<NC, First>(px, subset, f, best, ends)) break;
        const int before = best.error;
        quantizeAndAssign<NC, First>(px, subset, f, ends, effort.thorough, best);
        if (best.error >= before) break;
    }
    return best;
}

// ---------------------------------------------------------------------------
// A whole block's choice and its bits.

struct Encoding {
    int mode = 6;
    int partition = 0, rotation = 0, selector = 0;
    int code[3][2][4] = {};       // [subset][end][channel]
    std::uint8_t index[16] = {};  // primary set
    std::uint8_t second[16] = {}; // secondary set (modes 4 and 5)
    int error = 1 << 30;
};

struct BitWriter {
    std::uint64_t word[2] = {};
    int position = 0;
};

void put(BitWriter& w, int value, int count) {
    for (int i = 0; i < count; ++i, ++w.position)
        w.word[w.position >> 6] |= static_cast<std::uint64_t>(value >> i & 1) << (w.position & 63);
}

// The anchor pixel of each subset has no top index bit: where its index
// has that bit, the subset's ends swap and its indices turn round.
void fixAnchors(Encoding& e, const Bc7Mode& m, std::uint8_t* index, int bits, int firstChannel, int lastChannel) {
    const int top = (1 << bits) - 1;
    for (int s = 0; s < m.subsets; ++s) {
        if (index[bc7Anchor(m.subsets, e.partition, s)] <= top / 2) continue;
        for (int pixel = 0; pixel < 16; ++pixel)
            if (bc7Subset(m.subsets, e.partition, pixel) == s) index[pixel] = static_cast<std::uint8_t>(top - index[pixel]);
        for (int c = firstChannel; c <= lastChannel; ++c) std::swap(e.code[s][0][c], e.code[s][1][c]);
    }
}

void putIndices(BitWriter& w, const Bc7Mode& m, int partition, const std::uint8_t* index, int bits) {
    for (int pixel = 0; pixel < 16; ++pixel) {
        bool anchor = false;
        for (int s = 0; s < m.subsets; ++s) anchor |= bc7Anchor(m.subsets, partition, s) == pixel;
        put(w, index[pixel], anchor ? bits - 1 : bits);
    }
}

void storeBlock(Encoding e, std::uint8_t out[kBc7BlockBytes]) {
    const Bc7Mode& m = kBc7Modes[static_cast<std::size_t>(e.mode)];
    if (m.secondIndexBits) {
        // The primary set drives colour unless the selector swaps the sets.
        const int primaryFirst = e.selector ? 3 : 0, primaryLast = e.selector ? 3 : 2;
        fixAnchors(e, m, e.index, m.indexBits, primaryFirst, primaryLast);
        fixAnchors(e, m, e.second, m.secondIndexBits, e.selector ? 0 : 3, e.selector ? 2 : 3);
    } else {
        fixAnchors(e, m, e.index, m.indexBits, 0, 3);
    }
    const int pShift = m.endpointPBits | m.sharedPBits;
    BitWriter w;
    put(w, 1 << e.mode, e.mode + 1);
    put(w, e.partition, m.partitionBits);
    put(w, e.rotation, m.rotationBits);
    put(w, e.selector, m.selectorBits);
    for (int c = 0; c < 3; ++c)
        for (int s = 0; s < m.subsets; ++s)
            for (int end = 0; end < 2; ++end) put(w, e.code[s][end][c] >> pShift, m.colorBits);
    for (int s = 0; s < m.subsets && m.alphaBits; ++s)
        for (int end = 0; end < 2; ++end) put(w, e.code[s][end][3] >> pShift, m.alphaBits);
    for (int s = 0; s < m.subsets && m.endpointPBits; ++s)
        for (int end = 0; end < 2; ++end) put(w, e.code[s][end][0] & 1, 1);
    for (int s = 0; s < m.subsets && m.sharedPBits; ++s) put(w, e.code[s][0][0] & 1, 1);
    putIndices(w, m, e.partition, e.index, m.indexBits);
    if (m.secondIndexBits) putIndices(w, m, e.partition, e.second, m.secondIndexBits);
    for (int i = 0; i < 16; ++i) out[i] = static_cast<std::uint8_t>(w.word[i / 8] >> (8 * (i % 8)));
}

// ---------------------------------------------------------------------------
// Modes.

Subset wholeBlock() {
    Subset s;
    for (int i = 0; i < 16; ++i) s.pixel[i] = static_cast<std::uint8_t>(i);
    s.count = 16;
    return s;
}

void splitByPartition(int subsets, int partition, Subset out[3]) {
    for (int s = 0; s < subsets; ++s) out[s].count = 0;
    for (int pixel = 0; pixel < 16; ++pixel) {
        Subset& s = out[bc7Subset(subsets, partition, pixel)];
        s.pixel[s.count++] = static_cast<std::uint8_t>(pixel);
    }
}

void takeLine(Encoding& e, int subset, const Line& line, const Subset& pixels, int firstChannel, int channels,
              std::uint8_t* index) {
    for (int end = 0; end < 2; ++end)
        for (int c = 0; c < channels; ++c) e.code[subset][end][firstChannel + c] = line.code[end][c];
    for (int i = 0; i < pixels.count; ++i) index[pixels.pixel[i]] = line.index[pixels.pixel[i]];
}

// One colour: mode 5, every colour index 1 on the end points that give
// the value exactly, alpha stored as it is.
Encoding flatEncoding(const Pixels px) {
    Encoding e;
    e.mode = 5;
    for (int c = 0; c < 3; ++c) {
        e.code[0][0][c] = kFlat.first[px[0][c]];
        e.code[0][1][c] = kFlat.second[px[0][c]];
    }
    e.code[0][0][3] = e.code[0][1][3] = px[0][3];
    std::fill(std::begin(e.index), std::end(e.index), 1);
    e.error = 0;
    return e;
}

// Mode 6 for an opaque block: p-bits 1 keep alpha at 255.
Encoding opaqueMode6(const Pixels px) {
    static constexpr EndFormat kFormat{8, PBit::perEnd, true, 4};
    const Subset all = wholeBlock();
    const Line line = fitLine<3, 0>(px, all, kFormat, kOpaque);
    Encoding e;
    e.mode = 6;
    takeLine(e, 0, line, all, 0, 3, e.index);
    e.code[0][0][3] = e.code[0][1][3] = 255;
    e.error = line.error;
    return e;
}

Encoding alphaMode6(const Pixels px) {
    static constexpr EndFormat kFormat{8, PBit::perEnd, false, 4};
    const Subset all = wholeBlock();
    const Line line = fitLine<4, 0>(px, all, kFormat);
    Encoding e;
    e.mode = 6;
    takeLine(e, 0, line, all, 0, 4, e.index);
    e.error = line.error;
    return e;
}

// Modes 4 and 5: colour and alpha on separate lines, after swapping alpha
// with the channel `rotation` names.
Encoding separateAlpha(const Pixels source, int mode, int rotation, int selector, Effort effort = kFull) {
    const Bc7Mode& m = kBc7Modes[static_cast<std::size_t>(mode)];
    Pixels px;
    std::memcpy(px, source, sizeof px);
    if (rotation)
        for (auto& pixel : px) std::swap(pixel[3], pixel[rotation - 1]);
    const int colorIndexBits = selector ? m.secondIndexBits : m.indexBits;
    const int alphaIndexBits = selector ? m.indexBits : m.secondIndexBits;
    const EndFormat color{m.colorBits, PBit::none, false, colorIndexBits};
    const EndFormat alpha{m.alphaBits, PBit::none, false, alphaIndexBits};
    const Subset all = wholeBlock();
    const Line colorLine = fitLine<3, 0>(px, all, color, effort);
    const Line alphaLine = fitLine<1, 3>(px, all, alpha, effort);
    Encoding e;
    e.mode = mode;
    e.rotation = rotation;
    e.selector = selector;
    takeLine(e, 0, colorLine, all, 0, 3, selector ? e.second : e.index);
    takeLine(e, 0, alphaLine, all, 3, 1, selector ? e.index : e.second);
    e.error = colorLine.error + alphaLine.error;
    return e;
}

// Two or three subsets under `partition`: modes 0 to 3 (opaque) or mode
// 7 (with alpha).
template <int NC>
Encoding partitioned(const Pixels px, int mode, int partition, Effort effort) {
    const Bc7Mode& m = kBc7Modes[static_cast<std::size_t>(mode)];
    const int pBits = m.sharedPBits | m.endpointPBits;
    const EndFormat f{m.colorBits + pBits, m.sharedPBits ? PBit::shared : pBits ? PBit::perEnd : PBit::none, false,
                      m.indexBits};
    Subset subsets[3];
    splitByPartition(m.subsets, partition, subsets);
    Encoding e;
    e.mode = mode;
    e.partition = partition;
    e.error = 0;
    for (int s = 0; s < m.subsets; ++s) {
        const Line line = fitLine<NC, 0>(px, subsets[s], f, effort);
        takeLine(e, s, line, subsets[s], 0, NC, e.index);
        e.error += line.error;
    }
    if (NC == 3)
        for (auto& subset : e.code)
            for (auto& end : subset) end[3] = 255;
    return e;
}

// ---------------------------------------------------------------------------
// Partition choice: every two-subset partition scored by the error of a
// line through each subset (its spread off the line found by one and a
// half power steps from the block's own axis), the best few encoded.

// Sums of the channels and of their pairwise products, kept per pixel by
// quantity so that a subset's sums are dot products with its 0/1 mask,
// which the compiler turns into vector code without branches.
template <int NC>
struct Moments {
    static constexpr int kCount = NC + NC * (NC + 1) / 2;
    float pixel[kCount][16];
    float total[kCount];
};

template <int NC>
Moments<NC> momentsOf(const Pixels px) {
    Moments<NC> m;
    for (int i = 0; i < 16; ++i) {
        int k = NC;
        for (int c = 0; c < NC; ++c) m.pixel[c][i] = static_cast<float>(px[i][c]);
        for (int r = 0; r < NC; ++r)
            for (int c = r; c < NC; ++c) m.pixel[k++][i] = static_cast<float>(px[i][r] * px[i][c]);
    }
    for (int k = 0; k < Moments<NC>::kCount; ++k) {
        float sum = 0;
        for (int i = 0; i < 16; ++i) sum += m.pixel[k][i];
        m.total[k] = sum;
    }
    return m;
}

template <int NC>
void covarianceOf(const float* sum, float count, float cov[NC][NC]) {
    int k = NC;
    for (int r = 0; r < NC; ++r)
        for (int c = r; c < NC; ++c) {
            cov[r][c] = cov[c][r] = sum[k] - sum[r] * sum[c] / count;
            ++k;
        }
}

template <int NC>
void blockAxis(const float* total, float* axis) {
    float cov[NC][NC];
    covarianceOf<NC>(total, 16.0f, cov);
    for (int c = 0; c < NC; ++c) axis[c] = 1.0f;
    for (int step = 0; step < 3; ++step) {
        float next[NC] = {}, length = 0;
        for (int r = 0; r < NC; ++r) {
            for (int c = 0; c < NC; ++c) next[r] += cov[r][c] * axis[c];
            length = std::max(length, std::fabs(next[r]));
        }
        if (length == 0.0f) break;
        for (int c = 0; c < NC; ++c) axis[c] = next[c] / length;
    }
}

// 1 for the pixels of the second subset of each two-subset partition.
using PixelMask = std::array<float, 16>;

constexpr std::array<PixelMask, 64> makeSecondSubsetMasks() {
    std::array<PixelMask, 64> masks{};
    for (int p = 0; p < 64; ++p)
        for (int i = 0; i < 16; ++i)
            masks[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)] = bc7Subset(2, p, i) ? 1.0f : 0.0f;
    return masks;
}

constexpr std::array<PixelMask, 64> kSecondSubsetMasks = makeSecondSubsetMasks();

// For all 64 partitions at once, position p of each array being partition
// p, so that the loops run across partitions in vector registers: the
// sums over the second subset.
template <int NC>
struct PartitionSums {
    float sum[Moments<NC>::kCount][64];
    float count[64];
};

template <int NC>
void sumsOverSecondSubsets(const Moments<NC>& m, PartitionSums<NC>& out) {
    for (int p = 0; p < 64; ++p) {
        const PixelMask& mask = kSecondSubsetMasks[static_cast<std::size_t>(p)];
        float n = 0;
        for (int i = 0; i < 16; ++i) n += mask[static_cast<std::size_t>(i)];
        out.count[p] = n;
        for (int k = 0; k < Moments<NC>::kCount; ++k) {
            float s = 0;
            for (int i = 0; i < 16; ++i) s += m.pixel[k][i] * mask[static_cast<std::size_t>(i)];
            out.sum[k][p] = s;
        }
    }
}

// Adds to `score` each subset's spread off the line through its mean
// along the block axis after one power step; `sign` -1 takes the first
// subset (the block's totals less the second's).
template <int NC>
void addLineErrors(const Moments<NC>& m, const PartitionSums<NC>& sums, float sign, const float* axis, float* score) {
    for (int p = 0; p < 64; ++p) {
        const float n = sign > 0 ? sums.count[p] : 16.0f - sums.count[p];
        float sum[Moments<NC>::kCount];
        for (int k = 0; k < Moments<NC>::kCount; ++k) sum[k] = sign > 0 ? sums.sum[k][p] : m.total[k] - sums.sum[k][p];
        const float inverse = 1.0f / std::max(n, 1.0f);
        float cov[NC][NC];
        int k = NC;
        for (int r = 0; r < NC; ++r)
            for (int c = r; c < NC; ++c) {
                cov[r][c] = cov[c][r] = sum[k] - sum[r] * sum[c] * inverse;
                ++k;
            }
        float trace = 0, v[NC] = {};
        for (int r = 0; r < NC; ++r) {
            trace += cov[r][r];
            for (int c = 0; c < NC; ++c) v[r] += cov[r][c] * axis[c];
        }
        float vv = 0, vcv = 0;
        for (int r = 0; r < NC; ++r) {
            vv += v[r] * v[r];
            float row = 0;
            for (int c = 0; c < NC; ++c) row += cov[r][c] * v[c];
            vcv += v[r] * row;
        }
        score[p] += vv > 1e-3f ? trace - vcv / vv : trace;
    }
}

// The `count` two-subset partitions with the smallest estimated error,
// best first.
template <int NC>
void bestPartitions(const Moments<NC>& m, int* best, int count) {
    float axis[NC];
    blockAxis<NC>(m.total, axis);
    PartitionSums<NC> sums;
    sumsOverSecondSubsets<NC>(m, sums);
    float score[64] = {};
    addLineErrors<NC>(m, sums, 1.0f, axis, score);
    addLineErrors<NC>(m, sums, -1.0f, axis, score);
    int order[64];
    for (int p = 0; p < 64; ++p) order[p] = p;
    std::partial_sort(order, order + count, order + 64,
                      [&](int a, int b) { return score[a] < score[b] || (score[a] == score[b] && a < b); });
    std::copy(order, order + count, best);
}

// Mode 4 for an opaque block: the colour channel whose removal leaves the
// other two nearest a line (the smaller eigenvalue of their covariance is
// the spread off it) goes on indices of its own, and the 3-bit indices go
// to whichever of that channel and the line spreads wider.
struct SeparateChannel {
    int rotation;
    int selector;
};

SeparateChannel separateChannel(const Moments<3>& m) {
    float cov[3][3];
    covarianceOf<3>(m.total, 16.0f, cov);
    SeparateChannel best{1, 0};
    float bestSpread = 0, lineSpread = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int u = channel == 0 ? 1 : 0, v = channel == 2 ? 1 : 2;
        const float a = cov[u][u], d = cov[v][v], b = cov[u][v];
        const float root = std::sqrt((a - d) * (a - d) / 4 + b * b);
        const float spread = (a + d) / 2 - root;
        if (channel == 0 || spread < bestSpread) {
            best.rotation = channel + 1;
            bestSpread = spread;
            lineSpread = (a + d) / 2 + root;
        }
    }
    best.selector = lineSpread > cov[best.rotation - 1][best.rotation - 1] ? 1 : 0;
    return best;
}

// Candidate partitions of a block with alpha (mode 7), each fitted fully.
constexpr int kAlphaPartitionsTried = 3;
// Mode 6 error (summed squares over the block) below which the block is
// kept without trying two subsets: a mean square error of about 8 a
// channel, where the second subset seldom pays for its time.
constexpr int kGoodEnough = 400;

void keepBetter(Encoding& best, const Encoding& candidate) {
    if (candidate.error < best.error) best = candidate;
}

Encoding encodeOpaque(const Pixels px) {
    Encoding best = opaqueMode6(px);
    if (best.error <= kGoodEnough) return best;
    // Fitting more than the best-scored partition gains a few hundredths
    // of a dB on photographs at a third more time.
    const Moments<3> moments = momentsOf<3>(px);
    // Mode 4 with the most independent channel on its own indices: on
    // paintings, where hue varies apart from lightness, worth more than
    // the second subset.
    const SeparateChannel separate = separateChannel(moments);
    keepBetter(best, separateAlpha(px, 4, separate.rotation, separate.selector, kOpaque));
    int partition = 0;
    bestPartitions<3>(moments, &partition, 1);
    keepBetter(best, partitioned<3>(px, 1, partition, kOpaque));
    return best;
}

Encoding encodeWithAlpha(const Pixels px) {
    Encoding best = alphaMode6(px);
    for (int rotation = 0; rotation < 4; ++rotation) {
        keepBetter(best, separateAlpha(px, 5, rotation, 0));
        keepBetter(best, separateAlpha(px, 4, rotation, 0));
        keepBetter(best, separateAlpha(px, 4, rotation, 1));
    }
    if (best.error <= kGoodEnough) return best;
    int partitions[kAlphaPartitionsTried];
    bestPartitions<4>(momentsOf<4>(px), partitions, kAlphaPartitionsTried);
    for (int partition : partitions) keepBetter(best, partitioned<4>(px, 7, partition, kFull));
    return best;
}

}  // namespace

void encodeBc7Block(const std::uint8_t rgba[64], std::uint8_t out[kBc7BlockBytes]) {
    Pixels px;
    bool flat = true, opaque = true;
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 4; ++c) {
            px[i][c] = rgba[4 * i + c];
            flat &= px[i][c] == rgba[c];
        }
    for (int i = 0; i < 16; ++i) opaque &= px[i][3] == 255;
    if (flat) storeBlock(flatEncoding(px), out);
    else if (opaque) storeBlock(encodeOpaque(px), out);
    else storeBlock(encodeWithAlpha(px), out);
}
