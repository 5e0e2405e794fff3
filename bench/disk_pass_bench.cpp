// One pass of the disk throughput test (102301 writes of 1023 bytes, a seek,
// 102301 reads) through the system services, against a plain C loop making
// the same system calls on the same file system. The runs alternate so that
// drift in the machine's state hits both alike; the services should stay
// within 5 % of the plain loop.
//
// Usage: vidorex_disk_pass_bench [FOLDER] [RUNS]   (the temporary folder, 5 runs)
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "checks/disk.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system_services.h"

namespace {

using Clock = std::chrono::steady_clock;

bool PlainPass(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (descriptor < 0) return false;
    std::array<char, vx::kThroughputBlockBytes> block{};
    bool ok = true;
    for (std::uint32_t i = 0; ok && i < vx::kThroughputBlocks; ++i) {
        ok = ::write(descriptor, block.data(), block.size()) == static_cast<ssize_t>(block.size());
    }
    ok = ok && ::lseek(descriptor, 0, SEEK_SET) == 0;
    for (std::uint32_t i = 0; ok && i < vx::kThroughputBlocks; ++i) {
        ok = ::read(descriptor, block.data(), block.size()) == static_cast<ssize_t>(block.size());
    }
    ok = ::close(descriptor) == 0 && ok;
    ::unlink(path.c_str());
    return ok;
}

template <class Pass>
double Seconds(Pass&& pass) {
    const auto start = Clock::now();
    if (!pass()) {
        std::fprintf(stderr, "a pass failed\n");
        std::exit(1);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? std::string(argv[1]) + "/" : vx::win::TemporaryFolderFor(std::getenv("TMPDIR"));
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string path = folder + vx::kTestFileName;
    vx::win::PosixSystemServices services;
    std::vector<double> throughServices;
    std::vector<double> plain;
    // One pass of each first, unmeasured, to settle the page cache.
    Seconds([&] { return vx::RunThroughputPass(services, path); });
    Seconds([&] { return PlainPass(path); });
    for (int run = 0; run < runs; ++run) {
        const bool servicesFirst = run % 2 == 0;
        if (servicesFirst) throughServices.push_back(Seconds([&] { return vx::RunThroughputPass(services, path); }));
        plain.push_back(Seconds([&] { return PlainPass(path); }));
        if (!servicesFirst) throughServices.push_back(Seconds([&] { return vx::RunThroughputPass(services, path); }));
        std::printf("run %d: services %.3f s, plain %.3f s\n", run + 1, throughServices.back(), plain.back());
    }
    const double a = Median(throughServices);
    const double b = Median(plain);
    std::printf("median of %d passes in %s: services %.3f s, plain %.3f s, services/plain %.3f (%+.1f %%)\n", runs,
                folder.c_str(), a, b, a / b, (a / b - 1) * 100);
    return 0;
}
