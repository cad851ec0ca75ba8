// Runs the transcript fuzz target over files given on the command line (a seed corpus or a
// crash input), so the corpus is checked with any compiler, libFuzzer or not.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        std::FILE* f = std::fopen(argv[i], "rb");
        if (!f) {
            std::fprintf(stderr, "replay: cannot open %s\n", argv[i]);
            return 1;
        }
        std::string data;
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
        std::fclose(f);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
        ++replayed;
    }
    std::printf("replayed %d inputs\n", replayed);
    // An empty corpus would make this test pass while checking nothing.
    return replayed > 0 ? 0 : 1;
}
