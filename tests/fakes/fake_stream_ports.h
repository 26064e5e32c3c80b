#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/picture_output.h"
#include "platform/report_command.h"
#include "platform/stream_server.h"

namespace hw::test {

// Keeps the frames it is offered; a test hands results back when it likes.
class FakePictureWorker final : public PictureOutputWorker {
 public:
  bool Busy() const override { return busy; }
  bool Offer(OutputFrame frame) override {
    if (busy) return false;
    frames.push_back(std::move(frame));
    return true;
  }
  std::optional<OutputResult> TakeResult() override {
    std::optional<OutputResult> taken = std::move(result);
    result.reset();
    return taken;
  }
  bool busy = false;
  std::vector<OutputFrame> frames;
  std::optional<OutputResult> result;
};

class FakeStreamServer final : public StreamServer {
 public:
  bool Listen(const std::string& address, int port, std::string* error) override {
    listens.push_back(address + ":" + std::to_string(port));
    if (!refuse.empty()) {
      *error = refuse;
      return false;
    }
    listening = true;
    return true;
  }
  void Close() override { listening = false; }
  bool Listening() const override { return listening; }
  std::string Address() const override { return "http://" + listens.back() + "/"; }
  void SetPicture(std::shared_ptr<const std::string> png) override { picture = std::move(png); }
  void SetOverlay(std::shared_ptr<const std::string> png) override { overlay = std::move(png); }
  void SetLatest(std::shared_ptr<const std::string> json) override { latest = *json; }
  void SendEvent(std::string_view name, std::string_view data) override {
    events.push_back(std::string(name) + " " + std::string(data));
  }
  int Connections() const override { return connections; }

  std::string refuse;
  int connections = 1;
  bool listening = false;
  std::vector<std::string> listens;
  std::shared_ptr<const std::string> picture;
  std::shared_ptr<const std::string> overlay;
  std::string latest;
  std::vector<std::string> events;
};

class FakeCommandRunner final : public CommandRunner {
 public:
  void Start(std::vector<std::string> arguments, std::string tag) override {
    started.push_back(std::move(arguments));
    tags.push_back(std::move(tag));
  }
  std::vector<CommandOutcome> TakeFinished() override { return std::exchange(finished, {}); }
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> tags;
  std::vector<CommandOutcome> finished;
};

}  // namespace hw::test
