// A TCP relay on loopback that adds latency: every connection accepted on
// its port is joined to the server's port on 127.0.0.1, and every chunk of
// bytes is handed on half the delay after it arrived, in each direction, so
// a request and its answer take the whole delay more.  It also counts round
// trips: a client chunk that follows an answer of the server (or opens the
// connection's talk) starts one.  This stands in for a network line where
// the kernel offers no delaying queue (netem).
#pragma once

struct Relay;

// Starts a relay to the server at 127.0.0.1:iServerPort with iDelayMs of
// added round-trip time; null when it could not listen.  Its port is
// Relay_Port.
Relay* Relay_Start(int iServerPort, int iDelayMs);
int Relay_Port(const Relay* r);
// Round trips begun so far on every connection of the relay.
long Relay_RoundTrips(const Relay* r);
// Stops listening, closes every connection and frees the relay.
void Relay_Stop(Relay* r);
