// Runs the fuzz entry point without libFuzzer: over the files named on the command line and
// over generated inputs (fixed seed) built from the bytes that steer the decoders.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace {

void Run(const std::string& S) { LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(S.data()), S.size()); }

}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream f(argv[i], std::ios::binary);
        std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        Run(s);
        // Every prefix of a short file: cut characters and escapes at every place.
        if (s.size() <= 256)
            for (std::size_t n = 0; n < s.size(); ++n) Run(s.substr(0, n)), ++inputs;
        ++inputs;
    }
    const std::vector<std::string> pieces = {
        "\x1B$B", "\x1B$@", "\x1B(B", "\x1B(J", "\x1B(I", "\x1B", "\r\n", "\r", "\n", std::string(1, '\0'),
        "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\x82\xA0", "\xA4\xA2", "\x8E\xB1", "\x8F\xB0\xA1", "\xFB\xFC",
        "\xF0\x40", "\xE3\x81\x82", "\xF0\x9F\x98\x80", "\xED\xA0\x80", "\xD8\x3D", "\xDE\x00", "\xB6\xDE",
        "\xCA\xDF", "a", "~\\", "\x80", "\xFD", "\x30\x42", "\x42\x30",
    };
    std::mt19937 rng(20240601);
    for (int round = 0; round < 4000; ++round) {
        std::string s;
        int parts = int(rng() % 24);
        for (int k = 0; k < parts; ++k) {
            if (rng() % 4 == 0) s += char(rng() % 256);
            else s += pieces[rng() % pieces.size()];
        }
        Run(s);
        ++inputs;
    }
    std::printf("fuzz_files_driver: %d inputs, no fault\n", inputs);
    return 0;
}
