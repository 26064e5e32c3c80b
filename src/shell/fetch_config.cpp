#include "shell/fetch_config.h"

#include <cstdlib>

#include "platform/text_codec.h"
#include "shell/app_context.h"

namespace hw {

std::string EnvironmentOr(const char* name, const std::u16string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : Utf16ToUtf8(fallback);
}

FetchConfig MakeFetchConfig(const AppContext& context) {
  const AppSettings& settings = context.settings;
  FetchConfig config;
  config.Demo = settings.Demo;
  config.SandboxSwitch = context.SandboxSwitch;
  config.HisJsonNum = settings.HisJsonNum;
  config.SiJson = settings.SiJson;
  config.HisJsonSavePath = settings.HisJsonSavePath;
  config.WorkingFolder = context.WorkingFolder;
  config.apiBase = EnvironmentOr("HERONWATCH_API_BASE", settings.ApiBase);
  config.sandboxBase = EnvironmentOr("HERONWATCH_SANDBOX_BASE", settings.SandboxBase);
  config.NowTime = context.loop.NowTime;
  config.maxRedirects = context.loop.FetchRedirectsAllowed;
  config.paddings = context.Paddings;
  return config;
}

StationRefreshConfig MakeStationRefreshConfig(const AppContext& context) {
  return {context.settings.StaJson, context.WorkingFolder,
          EnvironmentOr("HERONWATCH_STATION_BASE", context.settings.StationHost)};
}

}  // namespace hw
