// One asynchronous IPv4 name lookup with c-ares, driven by the socket layer's wait loop.
#pragma once

#include <netinet/in.h>
#include <poll.h>

#include <string>

struct ares_channeldata;
struct hostent;

namespace quillmark {

// Sets up the resolver library once per process, loading libcares at the first call
// (cares_functions.h). Returns false when that failed; when the library could not be loaded,
// with the loader's reason in `failure` if one is given.
bool InitResolverLibrary(std::string* failure = nullptr);

// Starts the lookup at construction; the owner polls the descriptors it adds and hands the
// results back to Process() in every turn of its wait. Destruction cancels a lookup still in
// progress at once (no callback reaches a destroyed object). Not copyable.
class HostLookup {
 public:
  // Looks up `name` (the hosts file first, then DNS, as the system is configured).
  // `name_servers` is a comma-separated server list ("127.0.0.1:5353") replacing the
  // system's, or empty. A resolver that cannot start counts as a failed lookup (done at once).
  HostLookup(const std::string& name, const std::string& name_servers);
  ~HostLookup();
  HostLookup(const HostLookup&) = delete;
  HostLookup& operator=(const HostLookup&) = delete;

  // True once an answer or a failure has arrived (a hosts-file answer arrives at once).
  bool done() const { return done_; }
  // True when done with at least one address; address() is then the first of the answer.
  bool succeeded() const { return succeeded_; }
  in_addr address() const { return address_; }

  // Appends the resolver's descriptors to `fds` (at most `capacity`); returns how many.
  int AddPollDescriptors(pollfd* fds, int capacity) const;
  // Lets the resolver read what arrived on the descriptors AddPollDescriptors gave (after
  // poll filled their revents) and handle its own time-outs.
  void Process(const pollfd* fds, int count);

 private:
  static void OnAnswer(void* self, int status, int timeouts, ::hostent* host);

  ares_channeldata* channel_ = nullptr;
  bool done_ = false;
  bool succeeded_ = false;
  in_addr address_{};
};

}  // namespace quillmark
