#include "shell/warning_link.h"

#include "platform/clock.h"
#include "shell/fetch_config.h"
#include "shell/tremorlens_dlg.h"

namespace hw {

ReportSource SourceInUse(const AppContext& context) {
  if (context.settings.Demo > 0) return ReportSource::kDemo;
  return context.SandboxSwitch != 0 ? ReportSource::kSandbox : ReportSource::kLive;
}

std::string ApiBaseInUse(const AppContext& context) {
  const AppSettings& settings = context.settings;
  return context.SandboxSwitch != 0 ? EnvironmentOr("HERONWATCH_SANDBOX_BASE", settings.SandboxBase)
                                    : EnvironmentOr("HERONWATCH_API_BASE", settings.ApiBase);
}

WarningContext CTremorlensDlg::WarningContextNow() const {
  return {context_.settings,     context_.WorkingFolder,
          SourceInUse(context_), doorbell_ && doorbell_->Connected(),
          context_.loop.NowTime, platform_.clock.MonotonicMs()};
}

}  // namespace hw
