#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace hw {

// A small local web server for the picture, for a stream's browser source or any browser:
//   /             a page that shows the picture filling the window and follows its changes;
//   /picture.png  the picture, /overlay.png its overlay form, both as PNG;
//   /latest.json  the report on screen;
//   /events       a stream of Server-Sent Events (an event `picture` tells the page to reload).
// Only GET is answered; nothing of the file system is ever served. Every call comes on the
// thread that made the server (the GUI thread), and the server works on that thread's event
// loop.
class StreamServer {
 public:
  virtual ~StreamServer() = default;

  // Listens on `address`, an IPv4 or IPv6 literal ("127.0.0.1", "::1", "0.0.0.0"), and `port`
  // (0: any free port), ending any listening there was first. False with a readable reason in
  // `error` when it cannot (the port in use, an address that is not this machine's, an address
  // that is not an IP address); the program goes on without the server.
  virtual bool Listen(const std::string& address, int port, std::string* error) = 0;
  // Closes the listener and every connection; Listen may follow again.
  virtual void Close() = 0;
  virtual bool Listening() const = 0;
  // Where it listens, as a browser's address: "http://127.0.0.1:8551/", "http://[::1]:8551/";
  // empty when not listening.
  virtual std::string Address() const = 0;

  // What /picture.png, /overlay.png and /latest.json serve from now on. The bytes are shared,
  // never copied or changed; null serves "not yet" (503) again.
  virtual void SetPicture(std::shared_ptr<const std::string> png) = 0;
  virtual void SetOverlay(std::shared_ptr<const std::string> png) = 0;
  virtual void SetLatest(std::shared_ptr<const std::string> json) = 0;

  // Sends one event to every client of /events: "event: NAME\ndata: DATA\n\n". A line break in
  // `data` starts another data line (the browser joins them with "\n"); an empty `name`, or one
  // with a line break in it, sends nothing.
  virtual void SendEvent(std::string_view name, std::string_view data) = 0;

  // The connections open now, for the tests and the log.
  virtual int Connections() const = 0;
};

}  // namespace hw
