#pragma once

#include <cstdint>
#include <memory>

#include "platform/stream_server.h"

namespace hw {

// What the server allows a client; the defaults are the program's.
struct StreamServerLimits {
  // Connections open at once; one more is closed as soon as it is accepted.
  int maxConnections = 32;
  // A connection that has not sent a whole request within this time is closed, and so is one
  // that waits this long for its next request (an event stream never waits).
  int requestTimeoutMs = 10'000;
  // Every event stream gets a comment this often, so that idle connections stay open through
  // proxies and a dead client is found.
  int pingIntervalMs = 15'000;
  // An event client that has not taken this much of its stream yet is too slow and is closed.
  std::int64_t maxUnsentEventBytes = std::int64_t{1} << 20;
};

// The stream server on Qt's QHttpServer, on the thread that made it.
std::unique_ptr<StreamServer> MakeStreamHttpServer(const StreamServerLimits& limits = {});

}  // namespace hw
