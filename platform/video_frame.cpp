// video_lock hands out the frame in system memory; there is nothing to unlock.
#include "platform/video_frame.h"

#include "platform/video.h"

VideoFrame video_frame;

VideoResult video_lock(uint8_t** pixels, int32_t* pitch) {
  *pixels = video_frame.pixels;
  *pitch = static_cast<int32_t>(video_frame.width);
  return video_code::ok;
}

void video_unlock() {}
