#include "station_session.h"

#include <algorithm>

#include "update/update_list.h"

namespace pellar {

StationSession::StationSession(std::unique_ptr<Link> link, std::vector<std::string> ports,
                               std::string record_path)
    : link_(std::move(link)), ports_(std::move(ports)), record_path_(std::move(record_path)) {}

StationSession::~StationSession() {
  if (station_) station_->End();
}

bool StationSession::ChooseList(const std::string& path, std::vector<std::string>* problems) {
  if (Running()) {
    problems->push_back("units are being flashed: stop them before choosing another list");
    return false;
  }
  std::optional<LoadedUpdate> loaded = LoadUpdate(path, link_->codec(), ExecutableDirectory(), problems);
  if (!loaded) return false;
  update_ = std::make_shared<const LoadedUpdate>(std::move(*loaded));
  std::string problem;
  Rebuild(&problem);
  return true;
}

bool StationSession::ChooseMatch(DevicePair match, std::string* problem) {
  if (Running()) {
    *problem = "units are being flashed: stop them before choosing other devices";
    return false;
  }
  // The same pair chosen again keeps the station, and with it the tiles of ended units.
  if (station_ && match_ && match_->vendor_id == match.vendor_id && match_->product_id == match.product_id)
    return true;
  match_ = match;
  return Rebuild(problem);
}

bool StationSession::Rebuild(std::string* problem) {
  if (station_) {
    station_->End();  // no unit runs: this only stops the watch and shuts the HID library down
    station_.reset();
  }
  problem_.clear();
  if (!update_ || !match_) return true;
  StationOptions options{*match_, ports_, record_path_, {}};
  auto station = std::make_unique<Station>(
      StationParts{link_->hid(), link_->clock(), link_->system(), link_->codec()}, update_, options);
  if (!station->Begin(&problem_)) {
    *problem = problem_;
    return false;
  }
  station_ = std::move(station);
  station_->SetAutoStart(auto_start_);
  station_->Watch();
  station_->Rescan();
  return true;
}

bool StationSession::Running() const { return station_ && station_->Counters().running > 0; }

void StationSession::SetAutoStart(bool on) {
  auto_start_ = on;
  if (station_) station_->SetAutoStart(on);
}

std::vector<AttachedPair> StationSession::AttachedPairs() {
  HidApi& hid = link_->hid();
  // The station has the library set up; without one, set it up for this look only.
  const bool own_setup = station_ == nullptr;
  if (own_setup) hid.Init();
  std::vector<AttachedPair> pairs;
  HidDeviceInfo* devices = hid.Enumerate(0, 0);
  for (HidDeviceInfo* entry = devices; entry != nullptr; entry = entry->next) {
    if (entry->vendor_id == 0 || entry->product_id == 0) continue;
    auto same = [entry](const AttachedPair& seen) {
      return seen.pair.vendor_id == entry->vendor_id && seen.pair.product_id == entry->product_id;
    };
    auto found = std::find_if(pairs.begin(), pairs.end(), same);
    if (found != pairs.end()) {
      ++found->count;
      continue;
    }
    pairs.push_back({{entry->vendor_id, entry->product_id}, entry->product, 1});
  }
  hid.FreeEnumeration(devices);
  if (own_setup) hid.Exit();
  return pairs;
}

}  // namespace pellar
