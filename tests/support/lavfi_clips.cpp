#include "lavfi_clips.h"

#include <sstream>

#include "run_process.h"

namespace vorlith::testing {
namespace {

// Frames, not time, decide what a piece holds; then every piece is retimed
// to the joined clip's rate so that ffmpeg neither drops nor repeats one.
constexpr const char* kRetime = "settb=1/30000,setpts=N*1001,format=yuv420p";

const char* RateOf(Weave weave) {
  switch (weave) {
    case Weave::kTelecine:
      return "24000/1001";
    case Weave::kInterlaced:
      return "60000/1001";
    case Weave::kProgressive:
      break;
  }
  return "30000/1001";
}

const char* WeaveFilter(Weave weave) {
  switch (weave) {
    case Weave::kTelecine:
      return "telecine=first_field=top:pattern=23,";
    case Weave::kInterlaced:
      return "tinterlace=interleave_top,";
    case Weave::kProgressive:
      break;
  }
  return "";
}

}  // namespace

std::string JoinedClipCommand(const std::vector<ClipPiece>& pieces, const std::string& size) {
  std::ostringstream inputs, graph, labels;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const ClipPiece& piece = pieces[i];
    inputs << " -f lavfi -i " << piece.source << "=size=" << size
           << ":rate=" << RateOf(piece.weave);
    graph << '[' << i << ']' << WeaveFilter(piece.weave) << "trim=start_frame=" << piece.skip
          << ":end_frame=" << piece.skip + piece.frames << ',' << kRetime << "[p" << i << "];";
    labels << "[p" << i << ']';
  }
  std::ostringstream command;
  command << "ffmpeg -v error -nostdin" << inputs.str() << " -filter_complex '" << graph.str()
          << labels.str() << "concat=n=" << pieces.size() << "' -f yuv4mpegpipe -";
  return command.str();
}

std::string EditedTelecineCommand(const std::string& source, const std::string& size, int every,
                                  int frames) {
  std::ostringstream command;
  command << "ffmpeg -v error -nostdin -f lavfi -i " << source << "=size=" << size
          << ":rate=" << RateOf(Weave::kTelecine) << " -vf '" << WeaveFilter(Weave::kTelecine)
          << "select=lt(mod(n\\," << every + 1 << ")\\," << every << ")," << kRetime
          << "' -frames:v " << frames << " -f yuv4mpegpipe -";
  return command.str();
}

std::string MissingFfmpegFeature() {
  const ProcessResult filters =
      RunProcess({"/bin/sh", "-c", "ffmpeg -hide_banner -nostdin -filters"});
  if (filters.exit_status != 0) return "ffmpeg";
  for (const std::string filter :
       {"testsrc2", "mandelbrot", "telecine", "tinterlace", "trim", "select", "concat"}) {
    if (filters.out.find(" " + filter + " ") == std::string::npos) return filter;
  }
  return "";
}

}  // namespace vorlith::testing
