// Throughput of our MD5 against OpenSSL's on 1 MiB buffers, in the same run.

#include "config/MD5.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <vector>

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

const std::vector<unsigned char>& OneMebibyte() {
    static const std::vector<unsigned char> buffer = [] {
        std::vector<unsigned char> bytes(kBufferSize);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = static_cast<unsigned char>(i * 31 + (i >> 9));
        }
        return bytes;
    }();
    return buffer;
}

void BM_OurMD5(benchmark::State& state) {
    const auto& buffer = OneMebibyte();
    for (auto _ : state) {
        MD5 digest;
        digest.update(buffer.data(), static_cast<unsigned int>(buffer.size()));
        digest.finalize();
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

void BM_OpenSslMD5(benchmark::State& state) {
    const auto& buffer = OneMebibyte();
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int outLength = 0;
    for (auto _ : state) {
        EVP_Digest(buffer.data(), buffer.size(), out, &outLength, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * buffer.size()));
}

}  // namespace

BENCHMARK(BM_OurMD5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSslMD5)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
