// A small program that stands in for orvane in the updater's tests: started, it writes into
// "started.txt" beside itself the arguments it got and whether "orvane.old" was there.
#include <filesystem>
#include <fstream>

int main(int argc, char* argv[]) {
    const std::filesystem::path self = std::filesystem::absolute(argv[0]);
    const std::filesystem::path folder = self.parent_path();
    std::ofstream out(folder / "started.txt.part");
    for (int i = 1; i < argc; ++i)
        out << argv[i] << '\n';
    out << "old:" << (std::filesystem::exists(folder / "orvane.old") ? "kept" : "missing") << '\n';
    out.close();
    // Whole or not at all: the test waits for the name.
    std::filesystem::rename(folder / "started.txt.part", folder / "started.txt");
    return 0;
}
