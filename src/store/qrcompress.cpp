#include "store/qrcompress.h"
#include "platform/errors.h"
#include "platform/streams.h"

#include <algorithm>

namespace {
constexpr size_t BlockSize = 4096;
}

TQRCompress::TQRCompress(TStream& aStream, bool CompressData)
    : BitPos(CompressData ? 0 : 7), CompressFlag(CompressData), Stream(aStream)
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
    for (int j = 0; j <= 255; ++j) {
        Kids[j][0] = static_cast<uint16_t>(2 * j + 1);
        Kids[j][1] = static_cast<uint16_t>(2 * j + 2);
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
            unsigned u = Kids[g][0];
            // a takes u's place under g, and u takes a's place under p.
            if (u == p) {
                u = Kids[g][1];
                Kids[g][1] = static_cast<uint16_t>(a);
            } else {
                Kids[g][0] = static_cast<uint16_t>(a);
            }
            Kids[p][a == Kids[p][0] ? 0 : 1] = static_cast<uint16_t>(u);
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
                path[n++] = Kids[Up[b]][1] == b ? 1 : 0;
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
        code = code << 1 | (Kids[p][1] == a ? 1u : 0u);
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

inline unsigned TQRCompress::DecodeSymbol(unsigned& BitPosition, unsigned& Byte)
{
    unsigned a = 0;
    do {
        if (BitPosition == 7) {
            Byte = NextInput();
            BitPosition = 0;
        } else {
            ++BitPosition;
        }
        a = Kids[a][(Byte >> BitPosition) & 1];
    } while (a <= 255);
    // Symbol 256 is never coded; damaged data that reaches it reads as 0.
    const unsigned symbol = a - 256;
    Splay(static_cast<uint16_t>(symbol));
    return symbol;
}

void TQRCompress::Expand(uint8_t& Expanded)
{
    unsigned pos = BitPos, byte = InByte;
    Expanded = static_cast<uint8_t>(DecodeSymbol(pos, byte));
    BitPos = static_cast<uint8_t>(pos);
    InByte = static_cast<uint8_t>(byte);
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

void TQRCompress::ExpandBytes(uint8_t* Data, size_t Count)
{
    unsigned pos = BitPos, byte = InByte;
    for (size_t i = 0; i < Count; ++i)
        Data[i] = static_cast<uint8_t>(DecodeSymbol(pos, byte));
    BitPos = static_cast<uint8_t>(pos);
    InByte = static_cast<uint8_t>(byte);
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

inline uint8_t TQRCompress::NextInput()
{
    return FBufferPos < FBuffer.size() ? FBuffer[FBufferPos++] : RefillInput();
}

uint8_t TQRCompress::RefillInput()
{
    FBuffer.resize(BlockSize);
    const int32_t n = Stream.Read(FBuffer.data(), static_cast<int32_t>(BlockSize));
    FBuffer.resize(n > 0 ? static_cast<size_t>(n) : 0);
    FBufferPos = 0;
    if (FBuffer.empty())
        throw EReadError("Compressed page data ends before the page is complete");
    return FBuffer[FBufferPos++];
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
    } else if (FBufferPos < FBuffer.size()) {
        Stream.Seek(-static_cast<int32_t>(FBuffer.size() - FBufferPos), soFromCurrent);
    }
}
