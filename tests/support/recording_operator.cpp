#include "support/recording_operator.h"

namespace pellar::testing {
namespace {
const std::string kMessage = "message: ";
const std::string kProgress = "progress: ";
}  // namespace

void RecordingOperator::ShowMessage(const std::string& text) { events_.push_back(kMessage + text); }
void RecordingOperator::SetProgress(int position) {
  events_.push_back(kProgress + std::to_string(position));
}
void RecordingOperator::SetStatus(const std::string& text) { events_.push_back("status: " + text); }

bool RecordingOperator::Breathe() {
  ++breaths_;
  events_.push_back("breathe");
  return close_at_breath_ > 0 && breaths_ >= close_at_breath_;
}

std::vector<std::string> RecordingOperator::messages() const {
  std::vector<std::string> found;
  for (const auto& event : events_)
    if (event.rfind(kMessage, 0) == 0) found.push_back(event.substr(kMessage.size()));
  return found;
}

std::vector<int> RecordingOperator::progress() const {
  std::vector<int> found;
  for (const auto& event : events_)
    if (event.rfind(kProgress, 0) == 0) found.push_back(std::stoi(event.substr(kProgress.size())));
  return found;
}

}  // namespace pellar::testing
