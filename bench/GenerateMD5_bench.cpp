// MD5 ours against OpenSSL's, both hashing the same bytes from memory in the same run.
// A 64 KiB block and a 16-byte password.
#include "Framework/Shell/GenerateMD5.h"
#include "bench/BenchPairs.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <vector>

static std::vector<unsigned char> Block(size_t n)
{
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; ++i)
        v[i] = (unsigned char)(i * 131 + 7);
    return v;
}

static void BM_VornMD5(benchmark::State& state)
{
    std::vector<unsigned char> data = Block((size_t)state.range(0));
    CVornMD5 md5;
    for (auto _ : state)
    {
        md5.MD5(data.data(), (unsigned int)data.size());
        benchmark::DoNotOptimize(md5.GetDigest()[0]);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_VornMD5)->Arg(16)->Arg(65536);

static void BM_OpenSslMD5(benchmark::State& state)
{
    std::vector<unsigned char> data = Block((size_t)state.range(0));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int uSize = 0;
    const EVP_MD* pMd = EVP_md5();
    for (auto _ : state)
    {
        EVP_Digest(data.data(), data.size(), digest, &uSize, pMd, nullptr);
        benchmark::DoNotOptimize(digest[0]);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenSslMD5)->Arg(16)->Arg(65536);
KORVEL_BENCH_PAIR("MD5 16 B vs OpenSSL", "BM_VornMD5/16", "BM_OpenSslMD5/16");
KORVEL_BENCH_PAIR("MD5 64 KiB vs OpenSSL", "BM_VornMD5/65536", "BM_OpenSslMD5/65536");
