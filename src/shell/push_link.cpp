#include "shell/push_link.h"

#include <algorithm>
#include <utility>

#include "eventlog/event_log.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "shell/app_context.h"
#include "shell/fetch_config.h"
#include "shell/tremorlens_dlg.h"

namespace hw {

std::string PushUrl(const AppContext& context) {
  const AppSettings& settings = context.settings;
  if (settings.PushEnabled != 1 || settings.Demo != 0) return {};
  return context.SandboxSwitch != 0
             ? EnvironmentOr("HERONWATCH_SANDBOX_PUSH_URL", settings.PushSandboxUrl)
             : EnvironmentOr("HERONWATCH_PUSH_URL", settings.PushUrl);
}

int PollReload(const AppSettings& settings, bool pushConnected) {
  return pushConnected ? std::max(settings.PushReload, settings.Reload) : settings.Reload;
}

namespace {

// The report id as the reader keeps it (with its quotes) and as the push channel gives it.
std::string IdWithoutQuotes(const std::u16string& id) {
  std::string text = Utf16ToUtf8(id);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

}  // namespace

void CTremorlensDlg::AttachPushChannel(PushChannel& channel) {
  PushDoorbell::Hooks hooks;
  hooks.ring = [this] { FetchNow(); };
  hooks.readNow = [this] {
    FetchNow();
    warnings_.OnConnected();
  };
  hooks.shownId = [this] { return IdWithoutQuotes(context_.fetch.LastShownId); };
  hooks.log = [this](std::u16string_view line) {
    context_.eventLog.WriteEventLog(std::u16string(kEventLogPrefix) + std::u16string(line));
  };
  hooks.otherMessage = [this](int code, std::string_view text) {
    warnings_.OnPushed(code, text, WarningContextNow());
  };
  doorbell_ = std::make_unique<PushDoorbell>(channel, std::move(hooks));
}

void CTremorlensDlg::TickPushDoorbell() {
  if (doorbell_) doorbell_->Tick(platform_.clock.MonotonicMs(), PushUrl(context_));
}

void CTremorlensDlg::FetchNow() {
  // A fetch still pending, or a hold-off, leaves it to the next second's schedule.
  if (context_.loop.FetchHoldOff == 0 &&
      context_.fetch.FetchStatus.load(std::memory_order_acquire) == FetchIdle && StartFetch()) {
    // The poll period counts from this fetch, as from one started at a whole second.
    context_.loop.FetchPhase = 0;
    return;
  }
  FetchAtNextSecond();
}

int CTremorlensDlg::PollPeriod() const {
  return PollReload(context_.settings, PushConnected());
}

}  // namespace hw
