#include "display/display.h"

namespace hw {

Display::Display(DisplayServices services)
    : services_(services),
      composer_(ComposeInputs{*shown_, theme_, *reference_, surfaces_, fonts_, services.text,
                              settings_, services.log},
                services.window),
      painter_(PaintInputs{surfaces_, *shown_, theme_, fonts_, services.text, settings_, origin_,
                           composer_.mapLayer(), composer_.compositions(),
                           composer_.warningPage().page()}) {}

void Display::CreateFonts() {
  const FontSpecs specs = FontSpecsFor(theme_);
  for (std::size_t i = 0; i < specs.size(); ++i) {
    fonts_[i] = services_.text.CreateFont(specs[i]);
  }
}

void Display::UseSettings(const PictureSettings& settings) {
  const bool overlayChanged = settings.Overlay != settings_.Overlay ||
                              settings.OverlayMarkers != settings_.OverlayMarkers ||
                              settings.KeyColour != settings_.KeyColour;
  settings_ = settings;
  if (!composed_ || !overlayChanged) return;
  if (waitingShown_) {
    ComposeWaiting();
  } else {
    Compose();
  }
}

void Display::ComposeWaiting() {
  composer_.ComposeWaiting();
  composed_ = waitingShown_ = true;
}

void Display::TakeOver(const ReportStore& fetched, ReportSource source, const std::tm& received) {
  *shown_ = fetched;
  SortObservationPoints(shown_->latest);
  composer_.ComposeFrame();
  composed_ = true;
  waitingShown_ = false;
  origin_.shown = source;
  origin_.shownReceived = received;
}

void Display::Compose() {
  composer_.ComposeFrame();
  composed_ = true;
  waitingShown_ = false;
}

void Display::TakeOverEarlyWarning(const std::optional<EarlyWarning>& warning) {
  earlyWarning_ = warning;
  composer_.ComposeEarlyWarning(warning);
}

TimePaddings TimePaddingsOf(const ThemeLayout& theme) {
  return {theme.style.EventTime.fontPadding, theme.style.HisEvTime.fontPadding,
          theme.style.ReportTime.fontPadding};
}

PictureSettings PictureSettingsOf(const AppSettings& settings) {
  return {settings.EpiFront,
          settings.EpiBlink,
          settings.ShindoMap,
          settings.SpeedDraw,
          settings.Aspect,
          settings.Debug,
          settings.StreamOverlay,
          settings.StreamOverlayMarkers,
          StreamKeyColour(settings.StreamKeyColor)};
}

}  // namespace hw
