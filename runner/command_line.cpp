#include "command_line.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <initializer_list>

namespace vorlith::runner {

const char* UsageText() {
  return "usage: framehost [options] INPUT [NAME=VALUE ...]\n"
         "Runs a filter plugin (by default Vorlith from the VorlithSSE plugin) over every\n"
         "frame of a video, in order. INPUT is a video file (.mkv, .mp4, .ts, .mpg, .y4m,\n"
         "...) or - for standard input. NAME=VALUE arguments go to the script function by\n"
         "name, e.g. th=40 show=true.\n"
         "  framehost movie.mkv th=40\n"
         "  framehost movie.mkv show=true -o marked.y4m\n"
         "\n"
         "options:\n"
         "  -o OUT           write the returned frames as y4m to OUT (- for standard output)\n"
         "  --stats FILE     write FILE.csv (a row per reported frame) and FILE.json (the\n"
         "                   run, its reports and cadence segments); - writes the JSON to\n"
         "                   standard output (th=-1 reports every frame)\n"
         "  --plot FILE.svg  draw the run: counts by cycle position over its segments\n"
         "  --stream N       read the video stream of index N (default: the best one)\n"
         "  --to-yv12        convert video that is not 8-bit 4:2:0 (default: refuse it)\n"
         "  --plugin PATH    the plugin library to load (default: VorlithSSE beside framehost)\n"
         "  --function NAME  the script function to call (default: Vorlith)\n"
         "  --cpu-flags N    pretend the processor has these CPUF_* flags (e.g. 0 to see a\n"
         "                   plugin refuse a processor without integer SSE, flag 0x8)\n"
         "  --quiet          show neither progress nor the summary\n"
         "  --verbose        show the decoder's warnings as well as its errors\n"
         "  --version        show framehost's version\n"
         "  -h, --help       show this text\n";
}

namespace {

// NAME=VALUE with a NAME that a script function could have, such as th=40;
// a path (./a=b.y4m) is not one.
bool LooksLikeScriptArgument(const std::string& word) {
  const std::size_t equals = word.find('=');
  if (equals == 0 || equals == std::string::npos) return false;
  for (std::size_t i = 0; i < equals; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (!std::isalnum(c) && c != '_') return false;
  }
  return !std::isdigit(static_cast<unsigned char>(word[0]));
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& words) {
  CommandLine line;
  bool have_input = false;
  bool have_output = false;
  bool options_done = false;
  const auto value_of = [&](std::size_t& i) -> const std::string& {
    if (i + 1 >= words.size()) throw UsageError(words[i] + " needs a value");
    return words[++i];
  };
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (!options_done && word.size() > 1 && word[0] == '-') {
      if (word == "--") {
        options_done = true;
      } else if (word == "-o") {
        const std::string& output = value_of(i);
        if (have_output) throw UsageError("-o given twice: " + line.output + " and " + output);
        line.output = output;
        // An unset shell variable gives an empty word; taking it for "no
        // output" would quietly write nothing.
        if (line.output.empty()) throw UsageError("-o needs a file name or -, not an empty word");
        have_output = true;
      } else if (word == "--stats" || word == "--plot") {
        std::string& file = word == "--stats" ? line.stats : line.plot;
        if (!file.empty()) throw UsageError(word + " given twice");
        file = value_of(i);
        if (file.empty()) throw UsageError(word + " needs a file name or -, not an empty word");
      } else if (word == "--plugin") {
        line.plugin = value_of(i);
      } else if (word == "--function") {
        line.function = value_of(i);
      } else if (word == "--cpu-flags") {
        const std::string& flags = value_of(i);
        char* end = nullptr;
        errno = 0;
        const long parsed = std::strtol(flags.c_str(), &end, 0);
        if (flags.empty() || *end != '\0' || errno == ERANGE || parsed < 0) {
          throw UsageError("--cpu-flags needs a flag word such as 0x8, not " + flags);
        }
        line.cpu_flags = parsed;
      } else if (word == "--stream") {
        const std::string& index = value_of(i);
        char* end = nullptr;
        errno = 0;
        const long parsed = std::strtol(index.c_str(), &end, 10);
        if (index.empty() || *end != '\0' || errno == ERANGE || parsed < 0 || parsed > INT_MAX) {
          throw UsageError("--stream needs a stream index such as 0, not " + index);
        }
        line.stream_index = static_cast<int>(parsed);
      } else if (word == "--to-yv12") {
        line.to_yv12 = true;
      } else if (word == "--verbose") {
        line.verbose = true;
      } else if (word == "--quiet") {
        line.quiet = true;
      } else if (word == "--version") {
        line.version = true;
      } else if (word == "-h" || word == "--help") {
        line.help = true;
      } else {
        throw UsageError("unknown option " + word);
      }
      continue;
    }
    const std::size_t equals = word.find('=');
    if (have_input && equals != std::string::npos) {
      if (equals == 0) throw UsageError("argument " + word + " has no name");
      line.arguments.push_back({word.substr(0, equals), word.substr(equals + 1)});
    } else if (LooksLikeScriptArgument(word)) {
      throw UsageError("script argument " + word + " comes before INPUT; give INPUT first");
    } else if (!have_input) {
      line.input = word;
      have_input = true;
    } else {
      throw UsageError("unexpected " + word + " (script arguments are NAME=VALUE)");
    }
  }
  if (!have_input && !line.help && !line.version) throw UsageError("no INPUT given");
  // Standard output takes one of them; two would be mixed into one stream.
  int to_stdout = 0;
  for (const std::string* file : {&line.output, &line.stats, &line.plot}) to_stdout += *file == "-";
  if (to_stdout > 1) {
    throw UsageError("only one of -o, --stats and --plot can write to standard output (-)");
  }
  return line;
}

}  // namespace vorlith::runner
