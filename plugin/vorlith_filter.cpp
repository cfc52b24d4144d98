#include "vorlith_filter.h"

#include "analysis.h"

VorlithFilter::VorlithFilter(PClip source, std::int32_t th, bool show, IScriptEnvironment* env)
    : GenericVideoFilter(source), th(th), show(show) {
  if (!vi.IsYV12()) env->ThrowError("Vorlith: requires YV12 source");
  if ((env->GetCPUFlags() & CPUF_INTEGER_SSE) == 0) env->ThrowError("Vorlith: requires SSE");
}

PVideoFrame VorlithFilter::GetFrame(int n, IScriptEnvironment* env) {
  PVideoFrame frame = child->GetFrame(n, env);
  // A host that breaks its side of the contract gets an error, not a crash.
  if (!frame) env->ThrowError("Vorlith: the source gave no frame for frame %d", n);
  // On every request: the frame handed back is always this call's own.
  env->MakeWritable(&frame);

  const vorlith::LumaPlane plane{frame->GetReadPtr(), frame->GetWritePtr(), frame->GetPitch(),
                                 frame->GetRowSize(), frame->GetHeight()};
  const vorlith::ScanGrid grid = vorlith::ScanGridOf(plane.row_size, plane.height);
  const std::int64_t stride = plane.pitch < 0 ? -std::int64_t{plane.pitch} : plane.pitch;
  if (grid.blocks > 0) {
    if (plane.read_ptr == nullptr || (show && plane.write_ptr == nullptr)) {
      env->ThrowError("Vorlith: frame %d has no %s pointer", n,
                      plane.read_ptr == nullptr ? "read" : "write");
    }
    if (stride < grid.scanned_width) {
      env->ThrowError(
          "Vorlith: frame %d has a pitch of %d bytes, less than its row size of %d "
          "raised to a multiple of 8",
          n, plane.pitch, plane.row_size);
    }
  }

  const std::int32_t count = vorlith::ScanCombedBlocks(plane, show);
  vorlith::ReportFrame(n, count, th);
  return frame;
}

AVSValue CreateVorlith(AVSValue args, void* /*user_data*/, IScriptEnvironment* env) {
  // The memory is obtained before any argument is read; if the constructor
  // refuses, it is given back and the references taken are released.
  return new VorlithFilter(args[0].AsClip(), args[1].AsInt(80), args[2].AsBool(false), env);
}
