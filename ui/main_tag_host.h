// What the tag panel needs from the main window: the found list with its
// marks, the log option, the progress bar and the repeat search, handed in
// one by one so that the panel sees nothing else of the window.
#pragma once

#include <functional>
#include <utility>

#include "search/found_list.h"
#include "ui/tag_panel.h"

namespace velmora {

class MainTagHost : public TagPanelHost {
 public:
  MainTagHost(const FoundList& found, std::function<bool()> logOn,
              std::function<void(int)> progress, std::function<void()> repeatSearch,
              std::function<bool()> pin, std::function<void()> unpin)
      : found_(found),
        logOn_(std::move(logOn)),
        progress_(std::move(progress)),
        repeatSearch_(std::move(repeatSearch)),
        pin_(std::move(pin)),
        unpin_(std::move(unpin)) {}

  TagList TagEntries() override;
  [[nodiscard]] bool LogOptionOn() const override { return logOn_(); }
  void SetTagProgress(int value) override { progress_(value); }
  // The search button pressed twice: reset, then search again.
  void RepeatTagSearch() override { repeatSearch_(); }
  bool PinTagFolders() override { return pin_(); }
  void UnpinTagFolders() override { unpin_(); }

 private:
  const FoundList& found_;
  std::function<bool()> logOn_;
  std::function<void(int)> progress_;
  std::function<void()> repeatSearch_;
  std::function<bool()> pin_;
  std::function<void()> unpin_;
};

}  // namespace velmora
