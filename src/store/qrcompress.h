// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The optional page coder of report files: an adaptive splay-tree prefix
// code. One coder serves one page in one direction; coder and decoder start
// from the same tree and reshape it identically, so no table is stored.
#include <cstddef>
#include <cstdint>
#include <vector>

class TStream;

class TQRCompress {
public:
    TQRCompress(TStream& aStream, bool CompressData);
    // Flushes like Finish, swallowing errors; call Finish to see them.
    ~TQRCompress();
    TQRCompress(const TQRCompress&) = delete;
    TQRCompress& operator=(const TQRCompress&) = delete;

    void Compress(uint16_t Plain);
    // Throws EReadError when the coded data ends before the symbol does.
    void Expand(uint8_t& Expanded);
    uint8_t Expand();

    // Whole buffers, for callers that have the page at hand.
    void CompressBytes(const uint8_t* Data, size_t Count);
    void ExpandBytes(uint8_t* Data, size_t Count);

    // Coding: writes what is buffered and the last, partly filled byte.
    // Decoding: puts the stream back right behind the last coded byte used.
    void Finish();

private:
    void InitTree();
    void Splay(uint16_t Plain);
    void PutByte(uint8_t Byte);
    void FlushOutput();
    void RefillBits();
    bool ReadBlock();

    // Kids[2n] is the left, Kids[2n + 1] the right child of inner node n.
    // The coder stores node numbers; the decoder stores the byte offset of
    // the child's own pair (four times the number), so that a step down is
    // one load from the side's base plus that offset.
    uint16_t Kids[512];
    // Parents, for the coder only: the decoder knows the path it walked.
    // 16-bit, not 8: stores through a byte array may alias anything and
    // would force the hot loops to reload every field.
    uint16_t Up[513];
    uint8_t BitPos = 0;
    bool CompressFlag;
    bool Finished = false;
    uint8_t OutByte = 0;
    // Decoding: the next FBitCount coded bits, the first in bit 0; the bits
    // above them are 0.
    unsigned FBitCount = 0;
    uint64_t FBits = 0;
    TStream& Stream;

    // Coded bytes move to and from the stream in blocks: one call per byte
    // costs more than the coding itself.
    std::vector<uint8_t> FBuffer;
    size_t FBufferPos = 0;
};
