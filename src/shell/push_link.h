#pragma once

#include <string>

namespace hw {

struct AppContext;
struct AppSettings;

// The push channel's address for the data source in use: [Push] Url for the live service,
// SandboxUrl for the sandbox (HERONWATCH_PUSH_URL / HERONWATCH_SANDBOX_PUSH_URL override them);
// empty, so no socket, in demo mode or with [Push] Enabled=0.
std::string PushUrl(const AppContext& context);

// The poll period in seconds: [Config] Reload, or [Push] Reload while the push channel is
// connected (never shorter than Reload).
int PollReload(const AppSettings& settings, bool pushConnected);

}  // namespace hw
