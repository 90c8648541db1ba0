#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/link_factory.h"
#include "station/station.h"

namespace pellar {

// A vendor and product pair seen among the attached devices, for the operator to choose from.
struct AttachedPair {
  DevicePair pair;
  std::string product;  // of the first device with the pair
  int count = 0;
};

// Everything the station window works on, for the window's lifetime: the link (HID seam, clock,
// device system), the chosen update list and match, and the station engine built from them. The
// engine runs on threads of its own on the link's clock; the window only reads its state and
// passes the operator's commands on. Toolkit-free.
class StationSession {
 public:
  StationSession(std::unique_ptr<Link> link, std::vector<std::string> ports, std::string record_path);
  ~StationSession();  // ends the station: waits for running units, whose records are then written
  StationSession(const StationSession&) = delete;
  StationSession& operator=(const StationSession&) = delete;

  // Reads the list and every file it names. False, with *problems, when it cannot be sent; the
  // earlier list then stays. Refused while units run.
  bool ChooseList(const std::string& path, std::vector<std::string>* problems);
  // False, with *problem, while units run or when the station cannot begin (the record).
  bool ChooseMatch(DevicePair match, std::string* problem);

  // Null until both a list and a match are chosen.
  Station* station() { return station_.get(); }
  const LoadedUpdate* update() const { return update_.get(); }
  const std::optional<DevicePair>& match() const { return match_; }
  const std::vector<std::string>& ports() const { return ports_; }
  const std::string& record_path() const { return record_path_; }
  // Why the station could not begin (the record cannot be written); empty when it did.
  const std::string& problem() const { return problem_; }

  bool Running() const;
  // Kept across a new list or match.
  void SetAutoStart(bool on);
  // The distinct pairs of the devices attached now, in the order the HID library lists them.
  std::vector<AttachedPair> AttachedPairs();

  Link& link() { return *link_; }

 private:
  bool Rebuild(std::string* problem);

  std::unique_ptr<Link> link_;
  std::vector<std::string> ports_;
  std::string record_path_;
  std::shared_ptr<const LoadedUpdate> update_;
  std::optional<DevicePair> match_;
  std::unique_ptr<Station> station_;
  std::string problem_;
  bool auto_start_ = false;
};

}  // namespace pellar
