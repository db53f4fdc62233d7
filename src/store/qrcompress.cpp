// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/qrcompress.h"
#include "platform/errors.h"
#include "platform/littleendian.h"
#include "platform/streams.h"

#include <algorithm>

namespace {
constexpr size_t BlockSize = 4096;
}

TQRCompress::TQRCompress(TStream& aStream, bool CompressData) : CompressFlag(CompressData), Stream(aStream)
{
    InitTree();
    FBuffer.reserve(BlockSize);
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
} // namespace

// Decodes by walking down from the root, one table step per bit, then
// reshapes the tree as Splay does. The walk has just found each node's
// parent and side, so the reshaping needs neither the parent links nor a
// comparison: it reads one link per pass, and the passes do not wait on each
// other's loads.
void TQRCompress::ExpandBytes(uint8_t* Data, size_t Count)
{
    // Links and slots are byte offsets into Kids, so that a step down is a
    // load from (side base + link): the side's base is picked from the bit
    // before the link arrives, and nothing is added in between.
    char* const left = reinterpret_cast<char*>(Kids);
    const auto link = [](const char* Base, unsigned Offset) -> unsigned {
        return *reinterpret_cast<const uint16_t*>(Base + Offset);
    };
    const auto side = [left](uint64_t Bits, unsigned Shift) {
        const char* base = left + 2 * static_cast<unsigned>(Bits >> Shift & 1);
#if defined(__GNUC__)
        // Keeps the compiler from adding the link to the table first and the
        // side after, which puts an add back between the loads.
        asm("" : "+r"(base));
#endif
        return base;
    };
    uint64_t bits = FBits;
    unsigned count = FBitCount;
    // The slot (pair offset + side) taken at each depth: one per inner node
    // at most, and there are 256.
    unsigned path[256];
    // The bit buffer lives in registers; it passes through the members only
    // when refilled, so that no step stores it.
    const auto refill = [&] {
        // The usual case inline: eight coded bytes at hand, of which the
        // whole bytes that fit are taken, as RefillBits does.
        if (FBuffer.size() - FBufferPos >= 8) {
            const unsigned take = (63 - count) / 8;
            const unsigned filled = count + 8 * take;
            bits |= (GetLE64(FBuffer.data() + FBufferPos) << count) & ((uint64_t(1) << filled) - 1);
            FBufferPos += take;
            count = filled;
            return;
        }
        FBits = bits;
        FBitCount = count;
        RefillBits();
        bits = FBits;
        count = FBitCount;
    };
    // One reshaping pass: the node N, a child of the node entered through
    // slot B, swaps with the sibling of that node, the other side of slot A.
    const auto pass = [left](unsigned A, unsigned B, unsigned N) {
        uint16_t* const sibling = reinterpret_cast<uint16_t*>(left + (A ^ 2));
        const uint16_t u = *sibling;
        *sibling = static_cast<uint16_t>(N);
        *reinterpret_cast<uint16_t*>(left + B) = u;
    };
    // Symbol 256 is never coded; damaged data that reaches it reads as 0.
    const auto symbol = [](unsigned Leaf) { return static_cast<uint8_t>(Leaf / 4 - 256); };
    for (size_t i = 0; i < Count; ++i) {
        // Topped up a word at a time once half is used: a refill at every
        // symbol would add a byte or none.
        if (count < 32)
            refill();
        unsigned node = 0, depth = 0;
        if (__builtin_expect(count >= 4, 1)) {
            // The short codes, most of them, with the path in registers and
            // a branch of their own at each depth.
            const unsigned s0 = 2 * static_cast<unsigned>(bits & 1);
            const unsigned n1 = link(left, s0);
            if (n1 >= FirstLeafPair) {
                bits >>= 1;
                count -= 1;
                Data[i] = symbol(n1);
                continue;
            }
            const unsigned n2 = link(side(bits, 1), n1);
            if (n2 >= FirstLeafPair) {
                const unsigned s1 = n1 + 2 * static_cast<unsigned>(bits >> 1 & 1);
                bits >>= 2;
                count -= 2;
                Data[i] = symbol(n2);
                pass(s0, s1, n2);
                continue;
            }
            const unsigned n3 = link(side(bits, 2), n2);
            if (n3 >= FirstLeafPair) {
                const unsigned s1 = n1 + 2 * static_cast<unsigned>(bits >> 1 & 1);
                const unsigned s2 = n2 + 2 * static_cast<unsigned>(bits >> 2 & 1);
                bits >>= 3;
                count -= 3;
                Data[i] = symbol(n3);
                pass(s1, s2, n3);
                continue;
            }
            const unsigned n4 = link(side(bits, 3), n3);
            const unsigned s1 = n1 + 2 * static_cast<unsigned>(bits >> 1 & 1);
            const unsigned s2 = n2 + 2 * static_cast<unsigned>(bits >> 2 & 1);
            const unsigned s3 = n3 + 2 * static_cast<unsigned>(bits >> 3 & 1);
            bits >>= 4;
            count -= 4;
            if (n4 >= FirstLeafPair) {
                Data[i] = symbol(n4);
                pass(s2, s3, n4);
                pass(s0, s1, n2);
                continue;
            }
            path[0] = s0;
            path[1] = s1;
            path[2] = s2;
            path[3] = s3;
            node = n4;
            depth = 4;
        }
        do {
            if (count == 0)
                refill();
            const unsigned slot = node + 2 * static_cast<unsigned>(bits & 1);
            node = link(side(bits, 0), node);
            bits >>= 1;
            --count;
            path[depth++] = slot;
        } while (node < FirstLeafPair);
        Data[i] = symbol(node);
        // The node at depth d swaps with its parent's sibling and the walk
        // goes on from its grandparent, at depth d - 2.
        for (unsigned d = depth; d >= 2; d -= 2) {
            pass(path[d - 2], path[d - 1], node);
            node = path[d - 2] & ~3u;
        }
    }
    FBits = bits;
    FBitCount = count;
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
    Stream.WriteBuffer(FBuffer.data(), static_cast<int32_t>(FBuffer.size()));
    FBuffer.clear();
}

// Tops the bit buffer up to 57 bits or more where the data allows: whole
// bytes only, so that Finish can tell which bytes went unused.
void TQRCompress::RefillBits()
{
    uint64_t& Bits = FBits;
    unsigned& Count = FBitCount;
    for (;;) {
        if (FBuffer.size() - FBufferPos >= 8) {
            const unsigned take = (63 - Count) / 8;
            const unsigned filled = Count + 8 * take;
            Bits |= (GetLE64(FBuffer.data() + FBufferPos) << Count) & ((uint64_t(1) << filled) - 1);
            FBufferPos += take;
            Count = filled;
            return;
        }
        while (Count <= 56 && FBufferPos < FBuffer.size()) {
            Bits |= uint64_t(FBuffer[FBufferPos++]) << Count;
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
    FBuffer.resize(BlockSize);
    const int32_t n = Stream.Read(FBuffer.data(), static_cast<int32_t>(BlockSize));
    FBuffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
    FBufferPos = 0;
    return !FBuffer.empty();
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
        const size_t unused = FBuffer.size() - FBufferPos + FBitCount / 8;
        if (unused > 0)
            Stream.Seek(-static_cast<int32_t>(unused), soFromCurrent);
    }
}
