// What both library views share: the bridges of the last enumeration, and the tty descriptor of
// each bridge, kept open for as long as the bridge stays attached.
//
// Opening a tty makes the kernel assert DTR and RTS, and on the controller board DTR is the
// microcontroller's reset. So a bridge is opened once, after which RTS and then DTR are released
// to let the controller run its application; the library's open and close only hand out and take
// back handles to that descriptor, and it is closed when the bridge leaves.
#pragma once

#include "platform/linux/TSerial_Port.h"
#include "platform/linux/TSysfs_Bridges.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

class TBridge_Ports {
public:
  TBridge_Ports(std::filesystem::path sys_root, std::filesystem::path dev_root);

  // Enumerates again and closes the descriptors of the bridges that have left; false when sysfs
  // cannot be read.
  bool Refresh();
  std::size_t Count() const { return Bridges_.size(); }
  // The bridge at `index` of the last enumeration, or null.
  const TBridge* Find(std::uint32_t index) const;

  // The bridge's descriptor, opening it if it is not open yet; null with an errno value when the
  // node cannot be opened.
  TSerial_Port* Attach(const TBridge& bridge, int& error);
  // The open descriptor, or null when it has been released.
  TSerial_Port* Attached(const TBridge_Key& key) const;
  // Closes the descriptor (the bridge left, or is about to).
  void Release(const TBridge_Key& key) { Ports_.erase(key); }

private:
  std::filesystem::path Sys_Root_;
  std::filesystem::path Dev_Root_;
  std::vector<TBridge> Bridges_;
  std::map<TBridge_Key, std::unique_ptr<TSerial_Port>> Ports_;
};
