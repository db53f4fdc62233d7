// SPDX-License-Identifier: GPL-3.0-or-later
// The splay coder on incompressible data and on real EMF pages, in bytes per
// second (MB/s in the output).
#include "platform/streams.h"
#include "store/qrcompress.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <random>

namespace {

std::vector<uint8_t> Random(size_t Size)
{
    std::mt19937 rng(42);
    std::vector<uint8_t> b(Size);
    for (uint8_t& x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

std::vector<uint8_t> EmfPages()
{
    std::vector<uint8_t> all;
    for (const char* name : {"gdi-page1.emf", "gdi-page2.emf", "gdi-page3.emf", "written_by_libuemf.emf"}) {
        std::ifstream f(std::string(QRP_TEST_DATA "/emf/") + name, std::ios::binary);
        all.insert(all.end(), std::istreambuf_iterator<char>(f), {});
    }
    return all;
}

std::vector<uint8_t> Code(const std::vector<uint8_t>& Plain)
{
    TMemoryStream out;
    TQRCompress c(out, true);
    c.CompressBytes(Plain.data(), Plain.size());
    c.Finish();
    return out.Bytes();
}

void Compress(benchmark::State& State, const std::vector<uint8_t>& Plain)
{
    for (auto _ : State) {
        TMemoryStream out;
        TQRCompress c(out, true);
        c.CompressBytes(Plain.data(), Plain.size());
        c.Finish();
        benchmark::DoNotOptimize(out.Memory());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Plain.size()));
}

void Expand(benchmark::State& State, const std::vector<uint8_t>& Plain)
{
    const std::vector<uint8_t> coded = Code(Plain);
    std::vector<uint8_t> out(Plain.size());
    for (auto _ : State) {
        TMemoryStream in;
        in.SetBytes(coded);
        TQRCompress d(in, false);
        d.ExpandBytes(out.data(), out.size());
        benchmark::DoNotOptimize(out.data());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(Plain.size()));
}

// A plain C rendering of the coder, bit by bit, as the yardstick the
// targets are stated against; run beside ours so that machine load cancels.
struct PlainCoder {
    unsigned short left[256], right[256], up[513];
    unsigned char* out;
    int bitpos, outbyte;
    const unsigned char* in;
    int inbyte;

    void init()
    {
        for (int i = 1; i <= 512; ++i)
            up[i] = (unsigned short)((i - 1) / 2);
        up[0] = 0;
        for (int j = 0; j < 256; ++j) {
            left[j] = (unsigned short)(2 * j + 1);
            right[j] = (unsigned short)(2 * j + 2);
        }
    }
    void splay(int plain)
    {
        int a = plain + 256;
        do {
            int p = up[a];
            if (p == 0) {
                a = 0;
            } else {
                int g = up[p];
                int u = left[g];
                if (u == p) {
                    u = right[g];
                    right[g] = (unsigned short)a;
                } else {
                    left[g] = (unsigned short)a;
                }
                if (a == left[p])
                    left[p] = (unsigned short)u;
                else
                    right[p] = (unsigned short)u;
                up[a] = (unsigned short)g;
                up[u] = (unsigned short)p;
                a = g;
            }
        } while (a != 0);
    }
    void compress(int plain)
    {
        unsigned char stack[257];
        int sp = 0, a = plain + 256;
        do {
            stack[sp++] = right[up[a]] == a;
            a = up[a];
        } while (a != 0);
        while (sp > 0) {
            if (stack[--sp])
                outbyte |= 1 << bitpos;
            if (bitpos == 7) {
                *out++ = (unsigned char)outbyte;
                bitpos = 0;
                outbyte = 0;
            } else {
                ++bitpos;
            }
        }
        splay(plain);
    }
    int expand()
    {
        int a = 0;
        do {
            if (bitpos == 7) {
                inbyte = *in++;
                bitpos = 0;
            } else {
                ++bitpos;
            }
            a = (inbyte >> bitpos) & 1 ? right[a] : left[a];
        } while (a <= 255);
        splay(a - 256);
        return a - 256;
    }
};

void BM_PlainCCompressIncompressible(benchmark::State& State)
{
    const std::vector<uint8_t> plain = Random(1 << 20);
    std::vector<uint8_t> out(plain.size() * 2);
    for (auto _ : State) {
        PlainCoder c;
        c.init();
        c.out = out.data();
        c.bitpos = 0;
        c.outbyte = 0;
        for (uint8_t b : plain)
            c.compress(b);
        benchmark::DoNotOptimize(c.out);
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(plain.size()));
}

void BM_PlainCExpandIncompressible(benchmark::State& State)
{
    const std::vector<uint8_t> plain = Random(1 << 20);
    std::vector<uint8_t> coded = Code(plain);
    coded.resize(coded.size() + 64);
    std::vector<uint8_t> out(plain.size());
    for (auto _ : State) {
        PlainCoder c;
        c.init();
        c.in = coded.data();
        c.bitpos = 7;
        c.inbyte = 0;
        for (uint8_t& b : out)
            b = static_cast<uint8_t>(c.expand());
        benchmark::DoNotOptimize(out.data());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * int64_t(plain.size()));
}

BENCHMARK(BM_PlainCCompressIncompressible)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCExpandIncompressible)->Unit(benchmark::kMillisecond);

void BM_CompressIncompressible(benchmark::State& s)
{
    Compress(s, Random(1 << 20));
}
void BM_ExpandIncompressible(benchmark::State& s)
{
    Expand(s, Random(1 << 20));
}
void BM_CompressEmfPages(benchmark::State& s)
{
    Compress(s, EmfPages());
}
void BM_ExpandEmfPages(benchmark::State& s)
{
    Expand(s, EmfPages());
}

BENCHMARK(BM_CompressIncompressible)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandIncompressible)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressEmfPages)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandEmfPages)->Unit(benchmark::kMillisecond);

} // namespace
