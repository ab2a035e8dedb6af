#pragma once

// The environment variable through which a caller hands the converter a
// channel for its progress reports (lines "DONE TOTAL"): the window sets it
// when it starts the converter, and the converter reads it.
inline constexpr char kProgressVariable[] = "JPEG2SWF_PROGRESS_FD";
