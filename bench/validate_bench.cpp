// Times a whole validate-and-decrypt run of the program on a 32 MiB protected file against a floor
// measured in the same run: the work that cannot be avoided, two in-memory DES-EDE-CBC
// decryptions and one SHA-1 of as many bytes. Prints the ratio, then the peak memory of a run on
// a 1 KiB file and on the 32 MiB file.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <openssl/evp.h>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLargeSize = 32U << 20U;
constexpr std::size_t kSmallSize = 1024;

struct Sample {
  fs::path folder;
  std::string hash;
};

std::vector<unsigned char> makeContent(std::size_t size) {
  std::vector<unsigned char> content(size);
  std::mt19937 generator(42);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same content every run
  std::generate(content.begin(), content.end(),
                [&generator] { return static_cast<unsigned char>(generator()); });
  return content;
}

fs::path makeFolder() {
  std::string pattern = (fs::temp_directory_path() / "tarvik-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a folder");
  }
  return pattern;
}

// The protected file comes from the independent producer (openssl command-line tool).
Sample makeSample(std::size_t size) {
  Sample sample{makeFolder(), {}};
  const fs::path clear = sample.folder / "content";
  const auto content = makeContent(size);
  std::ofstream(clear, std::ios::binary)
      .write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(size));
  const std::string command = std::string(TARVIK_PRODUCER) + " '" + clear.string() + "' sha1 '" +
                              (sample.folder / "report.rcc").string() + "'";
  FILE* pipe = ::popen(command.c_str(), "r");  // NOLINT(cert-env33-c): runs the producer script
  char hash[64] = {};
  if (pipe == nullptr || std::fgets(hash, sizeof hash, pipe) == nullptr || ::pclose(pipe) != 0) {
    throw std::runtime_error("the producer failed");
  }
  sample.hash.assign(hash, 40);
  fs::remove(clear);
  return sample;
}

// Runs the program on the sample with its output thrown away, and removes the clear file again.
int runProgram(const Sample& sample) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const std::string input = (sample.folder / "report.rcc").string();
  const char* arguments[] = {TARVIK_PROGRAM_PATH, input.c_str(), sample.hash.c_str(), nullptr};
  pid_t child = 0;
  int status = -1;
  if (posix_spawn(&child, TARVIK_PROGRAM_PATH, &actions, nullptr,
                  const_cast<char* const*>(arguments), environ) == 0) {
    ::waitpid(child, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
  fs::remove(sample.folder / "report");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

/// The peak resident memory of one successful run, in KiB, or -1.
long measurePeakKib(const Sample& sample) {
  const std::string command = std::string(TARVIK_PEAK_RSS_PATH) + " " + TARVIK_PROGRAM_PATH + " '" +
                              (sample.folder / "report.rcc").string() + "' " + sample.hash;
  FILE* pipe = ::popen(command.c_str(), "r");  // NOLINT(cert-env33-c): a fixed command line
  char line[64] = {};
  const bool answered = pipe != nullptr && std::fgets(line, sizeof line, pipe) != nullptr;
  if (pipe != nullptr) {
    ::pclose(pipe);
  }
  char* rest = nullptr;
  const long status = answered ? std::strtol(line, &rest, 10) : -1;
  const long peakKib = answered ? std::strtol(rest, nullptr, 10) : -1;
  fs::remove(sample.folder / "report");
  return status == 0 ? peakKib : -1;
}

const Sample& largeSample() {
  static const Sample sample = makeSample(kLargeSize);
  return sample;
}

void BM_Floor(benchmark::State& state) {
  const auto body = makeContent(kLargeSize);
  std::vector<unsigned char> clear(kLargeSize);
  const unsigned char key[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  const unsigned char iv[8] = {};
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "DES-EDE-CBC", nullptr);
  EVP_MD* sha1 = EVP_MD_fetch(nullptr, "SHA1", nullptr);
  for (auto _ : state) {
    for (int pass = 0; pass < 2; ++pass) {
      EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
      EVP_DecryptInit_ex(context, cipher, nullptr, key, iv);
      EVP_CIPHER_CTX_set_padding(context, 0);
      int written = 0;
      EVP_DecryptUpdate(context, clear.data(), &written, body.data(),
                        static_cast<int>(body.size()));
      EVP_CIPHER_CTX_free(context);
    }
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int digestSize = 0;
    EVP_Digest(clear.data(), clear.size(), digest, &digestSize, sha1, nullptr);
    benchmark::DoNotOptimize(digest);
  }
  EVP_MD_free(sha1);
  EVP_CIPHER_free(cipher);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeSize));
}

void BM_ValidateAndDecrypt(benchmark::State& state) {
  const Sample& sample = largeSample();
  for (auto _ : state) {
    if (runProgram(sample) != 0) {
      state.SkipWithError("the program failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kLargeSize));
}

BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9)->UseRealTime();
BENCHMARK(BM_ValidateAndDecrypt)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(9)
    ->UseRealTime();

// Keeps the fastest repetition of each benchmark, the figure least disturbed by the machine.
class FastestRunReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
        const std::string name = run.run_name.function_name;
        const double seconds = run.GetAdjustedRealTime();
        auto found = fastest.find(name);
        if (found == fastest.end() || seconds < found->second) {
          fastest[name] = seconds;
        }
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> fastest;
};

// Keeps this process and the programs it starts on one processor, so that both sides of the
// ratio run on the same one.
void pinToOneProcessor() {
  cpu_set_t processors;
  CPU_ZERO(&processors);
  if (sched_getaffinity(0, sizeof processors, &processors) != 0) {
    return;
  }
  for (int processor = 0; processor < CPU_SETSIZE; ++processor) {
    if (CPU_ISSET(processor, &processors)) {
      CPU_ZERO(&processors);
      CPU_SET(processor, &processors);
      sched_setaffinity(0, sizeof processors, &processors);
      return;
    }
  }
}

}  // namespace

int main(int argc, char** argv) try {
  pinToOneProcessor();
  // Repetitions of the two benchmarks in random order, so that a machine that slows down or
  // speeds up during the run weighs on both alike. A flag on the command line still wins.
  std::vector<char*> arguments(argv, argv + argc);
  std::string interleave = "--benchmark_enable_random_interleaving=true";
  arguments.insert(arguments.begin() + 1, interleave.data());
  int count = static_cast<int>(arguments.size());
  benchmark::Initialize(&count, arguments.data());
  FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const auto floor = reporter.fastest.find("BM_Floor");
  const auto whole = reporter.fastest.find("BM_ValidateAndDecrypt");
  if (floor != reporter.fastest.end() && whole != reporter.fastest.end()) {
    std::printf(
        "\nvalidate and decrypt 32 MiB: %.0f ms, floor %.0f ms, ratio %.3f (target <= 1.05)\n",
        whole->second, floor->second, whole->second / floor->second);
  }
  const Sample small = makeSample(kSmallSize);
  const long smallPeak = measurePeakKib(small);
  const long largePeak = measurePeakKib(largeSample());
  std::printf(
      "peak memory: 1 KiB file %ld KiB, 32 MiB file %ld KiB, difference %ld KiB "
      "(target <= 256)\n",
      smallPeak, largePeak, largePeak - smallPeak);
  fs::remove_all(small.folder);
  fs::remove_all(largeSample().folder);
  return 0;
} catch (const std::exception& error) {
  (void)std::fprintf(stderr, "tarvik_bench: %s\n", error.what());
  return 1;
}
