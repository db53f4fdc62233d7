// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/qrcompress.h"
#include "platform/errors.h"
#include "platform/littleendian.h"
#include "platform/streams.h"

#include <algorithm>

namespace {
constexpr size_t BlockSize = 4096;
}

TQRCompress::TQRCompress(TStream& aStream, bool CompressData) : CompressFlag(CompressData), Stream(&aStream)
{
    InitTree();
    FBuffer.reserve(BlockSize);
}

TQRCompress::TQRCompress(const uint8_t* Code, size_t Size)
    : CompressFlag(false), Stream(nullptr), FIn(Code), FInSize(Size)
{
    InitTree();
}

TQRCompress::~TQRCompress()
{
    try {
        Finish();
    } catch (...) {
    }
}

void TQRCompress::InitTree()
{
    Up[0] = 0;
    for (int i = 1; i <= 512; ++i)
        Up[i] = static_cast<uint16_t>((i - 1) / 2);
    if (CompressFlag) {
        for (int j = 0; j < 512; ++j)
            Kids[j] = static_cast<uint16_t>(j + 1);
    } else {
        for (int j = 0; j < 512; ++j)
            Kids[j] = static_cast<uint16_t>(4 * (j + 1));
        for (int leaf = 256; leaf <= 513; ++leaf)
            Kids[2 * leaf] = Kids[2 * leaf + 1] = static_cast<uint16_t>(4 * leaf);
    }
}

// Moves the leaf just coded towards the root, so that frequent bytes get
// short codes; coder and decoder reshape the tree alike after each symbol.
// Each pass swaps the node a with its parent's sibling u and goes on from
// the grandparent g: the path to the leaf is roughly halved. A child of the
// root (p == 0) ends the walk.
void TQRCompress::Splay(uint16_t Plain)
{
    unsigned a = Plain + 256u;
    do {
        const unsigned p = Up[a];
        if (p == 0) {
            a = 0;
        } else {
            const unsigned g = Up[p];
            // a takes u's place under g, and u takes a's place under p.
            const unsigned uSlot = 2 * g + (Kids[2 * g] == p ? 1 : 0);
            const unsigned u = Kids[uSlot];
            Kids[uSlot] = static_cast<uint16_t>(a);
            Kids[2 * p + (a == Kids[2 * p] ? 0 : 1)] = static_cast<uint16_t>(u);
            Up[a] = static_cast<uint16_t>(g);
            Up[u] = static_cast<uint16_t>(p);
            a = g;
        }
    } while (a != 0);
}

void TQRCompress::Compress(uint16_t Plain)
{
    // The path is collected leaf-first by shifting left, so the root's
    // branch ends up in bit 0: the order in which bits are emitted.
    uint64_t code = 0;
    int depth = 0;
    unsigned a = Plain + 256u;
    do {
        const unsigned p = Up[a];
        if (depth == 64) {
            // Only a tree reshaped into a long chain gets here: emit the
            // slow way, bit by bit from a full path.
            uint8_t path[257];
            int n = 0;
            for (unsigned b = Plain + 256u; b != 0; b = Up[b])
                path[n++] = Kids[2 * Up[b] + 1] == b ? 1 : 0;
            while (n > 0) {
                OutByte = static_cast<uint8_t>(OutByte | path[--n] << BitPos);
                if (BitPos == 7) {
                    PutByte(OutByte);
                    BitPos = 0;
                    OutByte = 0;
                } else {
                    ++BitPos;
                }
            }
            Splay(Plain);
            return;
        }
        code = code << 1 | (Kids[2 * p + 1] == a ? 1u : 0u);
        ++depth;
        a = p;
    } while (a != 0);
    unsigned pos = BitPos;
    unsigned out = OutByte;
    while (depth > 0) {
        const int take = std::min<int>(depth, static_cast<int>(8 - pos));
        out |= static_cast<unsigned>(code & ((1u << take) - 1)) << pos;
        code >>= take;
        depth -= take;
        pos += static_cast<unsigned>(take);
        if (pos == 8) {
            PutByte(static_cast<uint8_t>(out));
            pos = 0;
            out = 0;
        }
    }
    BitPos = static_cast<uint8_t>(pos);
    OutByte = static_cast<uint8_t>(out);
    Splay(Plain);
}

void TQRCompress::Expand(uint8_t& Expanded)
{
    ExpandBytes(&Expanded, 1);
}

uint8_t TQRCompress::Expand()
{
    uint8_t b = 0;
    Expand(b);
    return b;
}

void TQRCompress::CompressBytes(const uint8_t* Data, size_t Count)
{
    for (size_t i = 0; i < Count; ++i)
        Compress(Data[i]);
}

namespace {
// Pair offsets (in bytes) from here on are leaves.
constexpr unsigned FirstLeafPair = 4 * 256;
// Coded bytes a decoder side by side with another must have at hand before
// a symbol, so that the symbol needs no end-of-code check: the longest code
// (256 bits) with the word refills it takes, which read 8 bytes and keep 7.
constexpr size_t PairMargin = 64;

// Links and slots are byte offsets into the decoder's Kids, so that a step
// down is a load from (side base + link): the side's base is picked from the
// bit before the link arrives, and nothing is added in between.
inline unsigned Link(const char* Base, unsigned Offset)
{
    return *reinterpret_cast<const uint16_t*>(Base + Offset);
}

inline const char* Side(const char* Left, uint64_t Bits, unsigned Shift)
{
    const char* base = Left + 2 * static_cast<unsigned>(Bits >> Shift & 1);
#if defined(__GNUC__)
    // Keeps the compiler from adding the link to the table first and the
    // side after, which puts an add back between the loads.
    asm("" : "+r"(base));
#endif
    return base;
}

// One reshaping pass: the node N, a child of the node entered through slot
// B, swaps with the sibling of that node, the other side of slot A.
inline void Pass(char* Left, unsigned A, unsigned B, unsigned N)
{
    uint16_t* const sibling = reinterpret_cast<uint16_t*>(Left + (A ^ 2));
    const uint16_t u = *sibling;
    *sibling = static_cast<uint16_t>(N);
    *reinterpret_cast<uint16_t*>(Left + B) = u;
}

// Symbol 256 is never coded; damaged data that reaches it reads as 0.
inline uint8_t Symbol(unsigned Leaf)
{
    return static_cast<uint8_t>(Leaf / 4 - 256);
}

// Tops the bit buffer up with the whole bytes that fit from eight at In.
inline void TakeWord(uint64_t& Bits, unsigned& Count, const uint8_t* In, size_t& Pos)
{
    const unsigned take = (63 - Count) / 8;
    const unsigned filled = Count + 8 * take;
    Bits |= (GetLE64(In + Pos) << Count) & ((uint64_t(1) << filled) - 1);
    Pos += take;
    Count = filled;
}

// Decodes one symbol by walking down from the root, one table step per bit,
// then reshapes the tree as Splay does. The walk has just found each node's
// parent and side, so the reshaping needs neither the parent links nor a
// comparison: it reads one link per pass, and the passes do not wait on each
// other's loads. Refill is called when the bit buffer is empty mid-symbol;
// Path holds one slot per inner node (256).
template <class Refill>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline uint8_t
DecodeSymbol(char* Left, uint64_t& Bits, unsigned& Count, unsigned* Path, const Refill& RefillBits)
{
    unsigned node = 0, depth = 0;
    if (__builtin_expect(Count >= 4, 1)) {
        // The short codes, most of them, with the path in registers and a
        // branch of their own at each depth.
        const unsigned s0 = 2 * static_cast<unsigned>(Bits & 1);
        const unsigned n1 = Link(Left, s0);
        if (n1 >= FirstLeafPair) {
            Bits >>= 1;
            Count -= 1;
            return Symbol(n1);
        }
        const unsigned n2 = Link(Side(Left, Bits, 1), n1);
        if (n2 >= FirstLeafPair) {
            const unsigned s1 = n1 + 2 * static_cast<unsigned>(Bits >> 1 & 1);
            Bits >>= 2;
            Count -= 2;
            Pass(Left, s0, s1, n2);
            return Symbol(n2);
        }
        const unsigned n3 = Link(Side(Left, Bits, 2), n2);
        if (n3 >= FirstLeafPair) {
            const unsigned s1 = n1 + 2 * static_cast<unsigned>(Bits >> 1 & 1);
            const unsigned s2 = n2 + 2 * static_cast<unsigned>(Bits >> 2 & 1);
            Bits >>= 3;
            Count -= 3;
            Pass(Left, s1, s2, n3);
            return Symbol(n3);
        }
        const unsigned n4 = Link(Side(Left, Bits, 3), n3);
        const unsigned s1 = n1 + 2 * static_cast<unsigned>(Bits >> 1 & 1);
        const unsigned s2 = n2 + 2 * static_cast<unsigned>(Bits >> 2 & 1);
        const unsigned s3 = n3 + 2 * static_cast<unsigned>(Bits >> 3 & 1);
        Bits >>= 4;
        Count -= 4;
        if (n4 >= FirstLeafPair) {
            Pass(Left, s2, s3, n4);
            Pass(Left, s0, s1, n2);
            return Symbol(n4);
        }
        Path[0] = s0;
        Path[1] = s1;
        Path[2] = s2;
        Path[3] = s3;
        node = n4;
        depth = 4;
    }
    do {
        if (Count == 0)
            RefillBits();
        const unsigned slot = node + 2 * static_cast<unsigned>(Bits & 1);
        node = Link(Side(Left, Bits, 0), node);
        Bits >>= 1;
        --Count;
        Path[depth++] = slot;
    } while (node < FirstLeafPair);
    const uint8_t plain = Symbol(node);
    // The node at depth d swaps with its parent's sibling and the walk goes
    // on from its grandparent, at depth d - 2.
    for (unsigned d = depth; d >= 2; d -= 2) {
        Pass(Left, Path[d - 2], Path[d - 1], node);
        node = Path[d - 2] & ~3u;
    }
    return plain;
}
// What a symbol's walk found: the byte, and the two reshaping passes that
// Reshape makes (a pass that is not needed goes to the spare pair).
struct TWalk {
    unsigned A1, B1, A2, B2, Leaf, Inner;
};

// DecodeSymbol in two halves, with no branch on the code's length up to
// 4 bits: four steps down whatever the length (a leaf's pair leads back to
// the leaf), then the stores, so that between two decoders the walk of one
// need not wait for the other's stores, whose addresses are known only at
// the end of a walk. A code longer than 4 bits is finished here.
template <class Refill>
#if defined(__GNUC__)
__attribute__((always_inline))
#endif
inline TWalk
WalkFlat(char* Left, uint64_t& Bits, unsigned& Count, unsigned* Path, const Refill& RefillBits)
{
    constexpr unsigned Spare = 4 * 513;
    const unsigned s0 = 2 * static_cast<unsigned>(Bits & 1);
    const unsigned n1 = Link(Left, s0);
    const unsigned n2 = Link(Side(Left, Bits, 1), n1);
    const unsigned n3 = Link(Side(Left, Bits, 2), n2);
    const unsigned n4 = Link(Side(Left, Bits, 3), n3);
    const unsigned s1 = n1 + 2 * static_cast<unsigned>(Bits >> 1 & 1);
    const unsigned s2 = n2 + 2 * static_cast<unsigned>(Bits >> 2 & 1);
    const unsigned s3 = n3 + 2 * static_cast<unsigned>(Bits >> 3 & 1);
    if (__builtin_expect(n4 < FirstLeafPair, 0)) {
        Bits >>= 4;
        Count -= 4;
        Path[0] = s0;
        Path[1] = s1;
        Path[2] = s2;
        Path[3] = s3;
        unsigned node = n4, depth = 4;
        do {
            if (Count == 0)
                RefillBits();
            const unsigned slot = node + 2 * static_cast<unsigned>(Bits & 1);
            node = Link(Side(Left, Bits, 0), node);
            Bits >>= 1;
            --Count;
            Path[depth++] = slot;
        } while (node < FirstLeafPair);
        const unsigned leaf = node;
        for (unsigned d = depth; d >= 2; d -= 2) {
            Pass(Left, Path[d - 2], Path[d - 1], node);
            node = Path[d - 2] & ~3u;
        }
        return {Spare, Spare, Spare, Spare, leaf, leaf};
    }
    // Whether the nodes at depths 1 to 3 are inner ones: below a leaf at
    // depth d every step finds the leaf again.
    const unsigned i1 = n1 < FirstLeafPair, i2 = n2 < FirstLeafPair, i3 = n3 < FirstLeafPair;
    const unsigned depth = 1 + i1 + i2 + i3;
    Bits >>= depth;
    Count -= depth;
    const auto pick = [](unsigned Flag, unsigned Then, unsigned Else) { return Else ^ ((Then ^ Else) & (0u - Flag)); };
    // Depth 2: (s0, s1); 3: (s1, s2); 4: (s2, s3), and (s0, s1) with n2.
    return {pick(i3, s2, pick(i2, s1, pick(i1, s0, Spare))), pick(i3, s3, pick(i2, s2, pick(i1, s1, Spare))),
            pick(i3, s0, Spare), pick(i3, s1, Spare), n4, n2};
}

inline void Reshape(char* Left, const TWalk& W)
{
    Pass(Left, W.A1, W.B1, W.Leaf);
    Pass(Left, W.A2, W.B2, W.Inner);
}
} // namespace

void TQRCompress::ExpandBytes(uint8_t* Data, size_t Count)
{
    char* const left = reinterpret_cast<char*>(Kids);
    uint64_t bits = FBits;
    unsigned count = FBitCount;
    unsigned path[256];
    // The bit buffer lives in registers; it passes through the members only
    // when refilled, so that no step stores it.
    const auto refill = [&] {
        // The usual case inline: eight coded bytes at hand, of which the
        // whole bytes that fit are taken, as RefillBits does.
        if (FInSize - FBufferPos >= 8) {
            TakeWord(bits, count, FIn, FBufferPos);
            return;
        }
        FBits = bits;
        FBitCount = count;
        RefillBits();
        bits = FBits;
        count = FBitCount;
    };
    for (size_t i = 0; i < Count; ++i) {
        // Topped up a word at a time once half is used: a refill at every
        // symbol would add a byte or none.
        if (count < 32)
            refill();
        Data[i] = DecodeSymbol(left, bits, count, path, refill);
    }
    FBits = bits;
    FBitCount = count;
}

void TQRCompress::ExpandBoth(TExpandJob& A, TExpandJob& B)
{
    size_t done = 0;
    if (A.Coder && B.Coder && !A.Error && !B.Error) {
        TQRCompress& a = *A.Coder;
        TQRCompress& b = *B.Coder;
        char* const leftA = reinterpret_cast<char*>(a.Kids);
        char* const leftB = reinterpret_cast<char*>(b.Kids);
        uint64_t bitsA = a.FBits, bitsB = b.FBits;
        unsigned countA = a.FBitCount, countB = b.FBitCount;
        size_t posA = a.FBufferPos, posB = b.FBufferPos;
        const uint8_t* const inA = a.FIn;
        const uint8_t* const inB = b.FIn;
        // The last positions from which a whole symbol is at hand; past
        // them the rest goes through ExpandBytes, which checks every refill.
        const size_t lastA = a.FInSize >= PairMargin ? a.FInSize - PairMargin : 0;
        const size_t lastB = b.FInSize >= PairMargin ? b.FInSize - PairMargin : 0;
        const bool roomA = a.FInSize >= PairMargin, roomB = b.FInSize >= PairMargin;
        unsigned pathA[256], pathB[256];
        const auto refillA = [&] { TakeWord(bitsA, countA, inA, posA); };
        const auto refillB = [&] { TakeWord(bitsB, countB, inB, posB); };
        const size_t count = std::min(A.Count, B.Count);
        if (roomA && roomB) {
            for (; done < count && posA <= lastA && posB <= lastB; ++done) {
                if (countA < 32)
                    refillA();
                if (countB < 32)
                    refillB();
                // Both walks before either's stores.
                const TWalk wa = WalkFlat(leftA, bitsA, countA, pathA, refillA);
                const TWalk wb = WalkFlat(leftB, bitsB, countB, pathB, refillB);
                Reshape(leftA, wa);
                Reshape(leftB, wb);
                A.Data[done] = Symbol(wa.Leaf);
                B.Data[done] = Symbol(wb.Leaf);
            }
        }
        a.FBits = bitsA;
        a.FBitCount = countA;
        a.FBufferPos = posA;
        b.FBits = bitsB;
        b.FBitCount = countB;
        b.FBufferPos = posB;
    }
    for (TExpandJob* job : {&A, &B}) {
        if (!job->Coder || job->Error || job->Count <= done)
            continue;
        try {
            job->Coder->ExpandBytes(job->Data + done, job->Count - done);
        } catch (...) {
            job->Error = std::current_exception();
        }
    }
}

void TQRCompress::PutByte(uint8_t Byte)
{
    FBuffer.push_back(Byte);
    if (FBuffer.size() >= BlockSize)
        FlushOutput();
}

void TQRCompress::FlushOutput()
{
    if (FBuffer.empty())
        return;
    Stream->WriteBuffer(FBuffer.data(), static_cast<int32_t>(FBuffer.size()));
    FBuffer.clear();
}

// Tops the bit buffer up to 57 bits or more where the data allows: whole
// bytes only, so that Finish can tell which bytes went unused.
void TQRCompress::RefillBits()
{
    uint64_t& Bits = FBits;
    unsigned& Count = FBitCount;
    for (;;) {
        if (FInSize - FBufferPos >= 8) {
            TakeWord(Bits, Count, FIn, FBufferPos);
            return;
        }
        while (Count <= 56 && FBufferPos < FInSize) {
            Bits |= uint64_t(FIn[FBufferPos++]) << Count;
            Count += 8;
        }
        if (Count > 56 || !ReadBlock()) {
            if (Count > 0)
                return;
            FBits = 0;
            FBitCount = 0;
            throw EReadError("Compressed page data ends before the page is complete");
        }
    }
}

bool TQRCompress::ReadBlock()
{
    if (!Stream)
        return false;
    FBuffer.resize(BlockSize);
    const int32_t n = Stream->Read(FBuffer.data(), static_cast<int32_t>(BlockSize));
    FBuffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
    FIn = FBuffer.data();
    FInSize = FBuffer.size();
    FBufferPos = 0;
    return FInSize > 0;
}

void TQRCompress::Finish()
{
    if (Finished)
        return;
    Finished = true;
    if (CompressFlag) {
        if (BitPos != 0)
            FBuffer.push_back(OutByte);
        FlushOutput();
    } else {
        // Whole bytes in the bit buffer were read but not used.
        const size_t unused = FInSize - FBufferPos + FBitCount / 8;
        if (unused > 0 && Stream)
            Stream->Seek(-static_cast<int32_t>(unused), soFromCurrent);
    }
}
