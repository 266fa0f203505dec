// Speed of reading values from the registry store. The store is parsed once
// and kept, so a read is a lookup (BM_ReadAValueOfTheKeptStore); only a store
// file that has changed since is parsed again (BM_ReadAValueAfterTheFileChanged),
// which is what every read cost while the file was parsed for each value.
// A write takes the store's lock and rewrites the file (BM_WriteAValue). The
// store holds the given number of keys of one value each.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace {

// A configuration folder of the benchmark's own, holding a store of `keys` keys.
class StoreFolder {
public:
    explicit StoreFolder(int keys) {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/gw-bench-registry-XXXXXX";
        if (::mkdtemp(tmpl.data())) folder_ = tmpl + "/";
        ::setenv("GANTRYWRIGHT_CONFIG_DIR", folder_.c_str(), 1);
        std::string text;
        for (int i = 0; i < keys; ++i)
            text += "[Software\\Vortaxis Coasters\\Key" + std::to_string(i) + "]\n\"InstPath\"=string:\"/games/vx" +
                    std::to_string(i) + "/\"\n";
        fsys::WriteFileAtomically(RegStoreFile(RegCurrentUser), text);
    }
    ~StoreFolder() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        ::unsetenv("GANTRYWRIGHT_CONFIG_DIR");
    }

private:
    std::string folder_;
};

void ReadOneValue(benchmark::State& state, int keys) {
    std::string value;
    if (!RegReadValue(RegCurrentUser, "Software\\Vortaxis Coasters\\Key" + std::to_string(keys / 2), "InstPath",
                      value))
        state.SkipWithError("the value was not read");
    benchmark::DoNotOptimize(value);
}

void BM_ReadAValueOfTheKeptStore(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    StoreFolder folder(keys);
    for (auto _ : state) ReadOneValue(state, keys);
}
BENCHMARK(BM_ReadAValueOfTheKeptStore)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_ReadAValueAfterTheFileChanged(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    StoreFolder folder(keys);
    const std::string file = RegStoreFile(RegCurrentUser);
    timespec stamp{1'000'000'000, 0};
    for (auto _ : state) {
        // Another program's change, as the store sees it: a new time on the file.
        ++stamp.tv_sec;
        const timespec times[2] = {stamp, stamp};
        ::utimensat(AT_FDCWD, file.c_str(), times, 0);
        ReadOneValue(state, keys);
    }
}
BENCHMARK(BM_ReadAValueAfterTheFileChanged)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

// A write: the store's lock taken, the store checked against its file, the
// file written whole and flushed, and read back for the stamp of the file written.
void BM_WriteAValue(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    StoreFolder folder(keys);
    int n = 0;
    for (auto _ : state) {
        if (!RegWriteValue(RegCurrentUser, "Software\\Vortaxis Coasters\\Key0", RegString, "InstPath",
                           std::to_string(++n)))
            state.SkipWithError("the value was not written");
    }
}
BENCHMARK(BM_WriteAValue)->Arg(100)->Arg(20000)->Unit(benchmark::kMicrosecond);

}  // namespace
