#pragma once

#include <initializer_list>
#include <string>
#include <utility>

namespace hw::test {

// Builds compact report objects shaped like the API's (members in alphabetical order).
struct ReportJson {
  std::string id = "r1";
  std::string type = "DetailScale";
  std::string eventTime = "2024/01/05 07:08:00";
  std::string issueTime = "2024/01/05 07:12:00";
  std::string name = "石川県能登地方";
  std::string depth = "10";
  std::string latitude = "37.5";
  std::string longitude = "137.2";
  std::string magnitude = "5.5";
  std::string maxScale = "45";
  std::string domesticTsunami = "None";
  std::string foreignTsunami = "Unknown";
  std::string points = "[]";
  std::string comment;  // empty: no "comments" member
  bool ver = true;

  ReportJson& Id(std::string v) {
    id = std::move(v);
    return *this;
  }
  ReportJson& Type(std::string v) {
    type = std::move(v);
    return *this;
  }
  ReportJson& EventTime(std::string v) {
    eventTime = std::move(v);
    return *this;
  }
  ReportJson& IssueTime(std::string v) {
    issueTime = std::move(v);
    return *this;
  }
  ReportJson& Name(std::string v) {
    name = std::move(v);
    return *this;
  }
  ReportJson& Depth(std::string v) {
    depth = std::move(v);
    return *this;
  }
  ReportJson& Latitude(std::string v) {
    latitude = std::move(v);
    return *this;
  }
  ReportJson& Longitude(std::string v) {
    longitude = std::move(v);
    return *this;
  }
  ReportJson& Magnitude(std::string v) {
    magnitude = std::move(v);
    return *this;
  }
  ReportJson& MaxScale(std::string v) {
    maxScale = std::move(v);
    return *this;
  }
  ReportJson& DomesticTsunami(std::string v) {
    domesticTsunami = std::move(v);
    return *this;
  }
  ReportJson& ForeignTsunami(std::string v) {
    foreignTsunami = std::move(v);
    return *this;
  }
  ReportJson& Points(std::string v) {
    points = std::move(v);
    return *this;
  }
  ReportJson& Comment(std::string v) {
    comment = std::move(v);
    return *this;
  }
  ReportJson& NoVer() {
    ver = false;
    return *this;
  }

  std::string Build() const {
    std::string json = "{\"code\":551,";
    if (!comment.empty()) json += "\"comments\":{\"freeFormComment\":\"" + comment + "\"},";
    json += "\"earthquake\":{\"domesticTsunami\":\"" + domesticTsunami +
            "\",\"foreignTsunami\":\"" + foreignTsunami + "\",\"hypocenter\":{\"depth\":" + depth +
            ",\"latitude\":" + latitude + ",\"longitude\":" + longitude +
            ",\"magnitude\":" + magnitude + ",\"name\":\"" + name + "\"},\"maxScale\":" + maxScale +
            ",\"time\":\"" + eventTime + "\"},\"id\":\"" + id +
            "\",\"issue\":{\"correct\":\"None\",\"source\":\"気象庁\",\"time\":\"" + issueTime +
            "\",\"type\":\"" + type + "\"},\"points\":" + points +
            ",\"time\":\"2024/01/05 07:12:30.123\"";
    if (ver) json += ",\"ver\":\"20180128\"";
    return json + "}";
  }
};

inline std::string Body(std::initializer_list<ReportJson> reports) {
  std::string body = "[";
  for (const ReportJson& report : reports) {
    if (body.size() > 1) body += ",";
    body += report.Build();
  }
  return body + "]";
}

inline std::string Point(const std::string& addr, const std::string& pref, int scale) {
  return "{\"addr\":\"" + addr + "\",\"isArea\":false,\"pref\":\"" + pref +
         "\",\"scale\":" + std::to_string(scale) + "}";
}

}  // namespace hw::test
