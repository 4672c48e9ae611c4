#include "job_settings.h"

#include <algorithm>
#include <utility>

void CorrectBarRange(JobSettings& job) {
  job.quickbar = std::clamp(job.quickbar, 1, 3);
  job.firstBar = std::clamp(job.firstBar, 1, 10);
  job.lastBar = std::clamp(job.lastBar, 1, 10);
  if (job.firstBar > job.lastBar) {
    std::swap(job.firstBar, job.lastBar);
    job.options ^= OPT_REVERSE;
  }
}
