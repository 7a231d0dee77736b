#include "net/host_lookup.h"

#include <ares.h>
#include <netdb.h>

#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>

#include "net/cares_functions.h"

namespace quillmark {

bool InitResolverLibrary(std::string* failure) {
  const CaresFunctions* cares = nullptr;
  try {
    cares = &Cares();
  } catch (const std::runtime_error& error) {
    if (failure != nullptr) *failure = error.what();
    return false;
  }
  // c-ares wants its library set up once per process before the first channel.
  static std::once_flag once;
  static int status = ARES_SUCCESS;
  std::call_once(once, [cares] { status = cares->ares_library_init(ARES_LIB_INIT_ALL); });
  return status == ARES_SUCCESS;
}

HostLookup::HostLookup(const std::string& name, const std::string& name_servers) {
  ares_options options{};
  // Hosts file first, then DNS: `localhost` resolves even when no name server answers.
  char lookups[] = "fb";
  options.lookups = lookups;
  if (!InitResolverLibrary() ||
      Cares().ares_init_options(&channel_, &options, ARES_OPT_LOOKUPS) != ARES_SUCCESS) {
    channel_ = nullptr;
    done_ = true;
    return;
  }
  if (!name_servers.empty() &&
      Cares().ares_set_servers_ports_csv(channel_, name_servers.c_str()) != ARES_SUCCESS) {
    done_ = true;
    return;
  }
  Cares().ares_gethostbyname(channel_, name.c_str(), AF_INET, &HostLookup::OnAnswer, this);
}

HostLookup::~HostLookup() {
  // Still-pending queries get their callback (ARES_EDESTRUCTION) here, while `this` lives.
  if (channel_ != nullptr) Cares().ares_destroy(channel_);
}

void HostLookup::OnAnswer(void* self, int status, int /*timeouts*/, ::hostent* host) {
  auto* lookup = static_cast<HostLookup*>(self);
  lookup->done_ = true;
  if (status == ARES_SUCCESS && host != nullptr && host->h_addrtype == AF_INET &&
      host->h_addr_list != nullptr && host->h_addr_list[0] != nullptr) {
    std::memcpy(&lookup->address_, host->h_addr_list[0], sizeof lookup->address_);
    lookup->succeeded_ = true;
  }
}

int HostLookup::AddPollDescriptors(pollfd* fds, int capacity) const {
  if (done_ || channel_ == nullptr) return 0;
  ares_socket_t sockets[ARES_GETSOCK_MAXNUM];
  const int bits = Cares().ares_getsock(channel_, sockets, ARES_GETSOCK_MAXNUM);
  int count = 0;
  for (int i = 0; i < ARES_GETSOCK_MAXNUM && count < capacity; ++i) {
    short events = 0;
    if (ARES_GETSOCK_READABLE(bits, i)) events |= POLLIN;
    if (ARES_GETSOCK_WRITABLE(bits, i)) events |= POLLOUT;
    if (events == 0) continue;
    fds[count++] = pollfd{sockets[i], events, 0};
  }
  return count;
}

void HostLookup::Process(const pollfd* fds, int count) {
  if (done_ || channel_ == nullptr) return;
  bool any_ready = false;
  for (int i = 0; i < count && !done_; ++i) {
    const short revents = fds[i].revents;
    if (revents == 0) continue;
    any_ready = true;
    const bool readable = (revents & (POLLIN | POLLERR | POLLHUP)) != 0;
    const bool writable = (revents & POLLOUT) != 0;
    Cares().ares_process_fd(channel_, readable ? fds[i].fd : ARES_SOCKET_BAD,
                            writable ? fds[i].fd : ARES_SOCKET_BAD);
  }
  // With nothing ready the resolver still has its own time-outs and retries to run.
  if (!any_ready && !done_) Cares().ares_process_fd(channel_, ARES_SOCKET_BAD, ARES_SOCKET_BAD);
}

}  // namespace quillmark
