// The timed workloads as the compiler made them: a change of compiler or of
// flags must not quietly shorten, widen or drop the work they time. Read
// from this test program's own machine code.
#include "checks/workloads.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vx {
namespace {

// The output of a command, or nothing when it cannot run.
std::optional<std::string> CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) return std::nullopt;
    std::string output;
    std::array<char, 4096> chunk{};
    while (std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) output.append(chunk.data(), n);
    return output;
}

std::string ThisProgram() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}

// An instruction as objdump prints it in Intel syntax: the mnemonic (after
// any prefix such as "rep") and the operands.
struct Instruction {
    std::string mnemonic;
    std::string operands;
};

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The instructions of one function of this program, or nothing when the
// tools are missing; empty when the function is not there.
std::optional<std::vector<Instruction>> Disassembly(const std::string& nameFragment) {
    const std::string program = ThisProgram();
    const std::optional<std::string> symbols = CommandOutput("nm '" + program + "' 2>/dev/null");
    if (!symbols || symbols->empty()) return std::nullopt;
    std::string symbol;
    std::istringstream lines(*symbols);
    for (std::string line; symbol.empty() && std::getline(lines, line);) {
        const std::vector<std::string> fields = Words(line);
        if (fields.size() == 3 && (fields[1] == "T" || fields[1] == "t") && fields[2].find(nameFragment) != std::string::npos) {
            symbol = fields[2];
        }
    }
    if (symbol.empty()) return std::vector<Instruction>{};
    const std::optional<std::string> code =
        CommandOutput("objdump -d --no-show-raw-insn -M intel --disassemble='" + symbol + "' '" + program + "' 2>/dev/null");
    if (!code) return std::nullopt;
    std::vector<Instruction> instructions;
    std::istringstream codeLines(*code);
    for (std::string line; std::getline(codeLines, line);) {
        const std::size_t tab = line.find(":\t");
        // Padding between loops is no part of the work.
        if (tab == std::string::npos || line.find("nop") != std::string::npos) continue;
        std::vector<std::string> words = Words(line.substr(tab + 2));
        if (words.empty()) continue;
        std::size_t first = 0;
        while (first + 1 < words.size() && (words[first] == "rep" || words[first] == "repz" || words[first] == "lock" ||
                                            words[first] == "cs" || words[first] == "ds")) {
            ++first;
        }
        Instruction instruction{words[first], ""};
        for (std::size_t i = first + 1; i < words.size(); ++i) {
            instruction.operands += (i > first + 1 ? " " : "") + words[i];
        }
        instructions.push_back(instruction);
    }
    return instructions;
}

// Sanitizers wrap every access and frame in checks of their own; the code
// that is timed is the uninstrumented one, so only that is read.
// GCC names the sanitizers by macros, clang by features.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VX_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define VX_SANITIZED_BUILD 1
#endif
#endif
constexpr bool kInstrumented =
#if defined(VX_SANITIZED_BUILD)
    true;
#else
    false;
#endif

int Count(const std::vector<Instruction>& code, const std::function<bool(const Instruction&)>& matches) {
    return static_cast<int>(std::count_if(code.begin(), code.end(), matches));
}

bool Is(const Instruction& instruction, std::initializer_list<const char*> mnemonics) {
    return std::any_of(mnemonics.begin(), mnemonics.end(), [&](const char* m) { return instruction.mnemonic == m; });
}

bool Mentions(const Instruction& instruction, std::initializer_list<const char*> fragments) {
    return std::any_of(fragments.begin(), fragments.end(),
                       [&](const char* f) { return instruction.operands.find(f) != std::string::npos; });
}

TEST(WorkloadCodeTest, TheProcessorLoopRunsInExtendedPrecisionAllEightAssignments) {
#if !defined(__x86_64__) && !defined(__i386__)
    GTEST_SKIP() << "the 80-bit format is an x86 one";
#endif
    if (kInstrumented) GTEST_SKIP() << "sanitizer checks fill the code; the normal build is read";
    const auto code = Disassembly("RunProcessorSlice");
    if (!code) GTEST_SKIP() << "nm or objdump is not installed";
    ASSERT_FALSE(code->empty()) << "the processor slice is missing from the program";
    // Per iteration: four divisions in each of the two blocks, three
    // multiplications, and the +5 twice; none fused, none vectorised.
    EXPECT_GE(Count(*code, [](auto& i) { return Is(i, {"fdiv", "fdivp", "fdivr", "fdivrp"}); }), 8);
    EXPECT_GE(Count(*code, [](auto& i) { return Is(i, {"fmul", "fmulp"}); }), 6);
    EXPECT_GE(Count(*code, [](auto& i) { return Is(i, {"fadd", "faddp"}); }), 2);
    EXPECT_EQ(Count(*code, [](auto& i) { return Mentions(i, {"xmm", "ymm", "zmm"}); }), 0) << "the loop left the x87 unit";
    EXPECT_EQ(Count(*code, [](auto& i) { return Is(i, {"call"}); }), 0);
    // The counter runs to 10,000,000 inclusive: the loop compares with the
    // last value or with one past it.
    EXPECT_GE(Count(*code, [](auto& i) { return Mentions(i, {"0x989681", "0x989680"}); }), 1) << "the iteration count changed";
    // The sink: the result is stored in the 80-bit format.
    EXPECT_GE(Count(*code, [](auto& i) { return Is(i, {"fstp"}) && Mentions(i, {"TBYTE PTR"}); }), 1);
}

TEST(WorkloadCodeTest, TheMemoryCopyStaysOneByteLoadAndStoreAtATime) {
#if !defined(__x86_64__) && !defined(__i386__)
    GTEST_SKIP() << "the instruction patterns are x86 ones";
#endif
    if (kInstrumented) GTEST_SKIP() << "sanitizer checks fill the code; the normal build is read";
    const auto code = Disassembly("RunMemorySlice");
    if (!code) GTEST_SKIP() << "nm or objdump is not installed";
    ASSERT_FALSE(code->empty()) << "the memory slice is missing from the program";
    EXPECT_GE(Count(*code, [](auto& i) { return Is(i, {"movzx"}) && Mentions(i, {",BYTE PTR ["}); }), 1) << "no byte load";
    EXPECT_GE(Count(*code, [](auto& i) { return Is(i, {"mov"}) && i.operands.starts_with("BYTE PTR ["); }), 1) << "no byte store";
    // DWORD, QWORD and XMMWORD accesses all contain "WORD PTR [".
    EXPECT_EQ(Count(*code,
                    [](auto& i) {
                        return Mentions(i, {"xmm", "ymm", "zmm", "WORD PTR ["});
                    }),
              0)
        << "the copy was widened";
    EXPECT_EQ(Count(*code,
                    [](auto& i) {
                        // A string move addresses es:[rdi].
                        return Mentions(i, {"es:["}) || (Is(i, {"call", "jmp"}) && Mentions(i, {"memcpy", "memmove"}));
                    }),
              0)
        << "a library copy";
    EXPECT_GE(Count(*code, [](auto& i) { return Mentions(i, {"0x33"}); }), 1) << "not 51 copies per slice";
}

TEST(WorkloadCodeTest, TheMemorySliceCopiesEveryByte) {
    std::vector<std::uint8_t> source(4099);
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 7 + 1);
    std::vector<std::uint8_t> target(source.size() + 1, 0xEE);
    RunMemorySlice(source.data(), target.data(), source.size());
    EXPECT_TRUE(std::equal(source.begin(), source.end(), target.begin()));
    EXPECT_EQ(target.back(), 0xEE) << "copied past the end";
}

}  // namespace
}  // namespace vx
