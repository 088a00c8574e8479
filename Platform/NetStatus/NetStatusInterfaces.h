// The host rule behind the network status, kept apart so it can be checked
// against a made-up interface list.
#pragma once

struct ifaddrs;

namespace plat
{

// True when some interface of the list is up and running, is not a loopback
// and carries an IPv4 or IPv6 address.
bool NetStatusAnyUsableInterface(const ifaddrs* list);

} // namespace plat
