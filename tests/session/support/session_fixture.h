#pragma once
// The session suite's fixture: sessions around a fake hub.
#include "session/support/session_fixture_on.h"
#include "support/fakesessionhub.h"

using SessionTestHub = FakeSessionHub;
using SessionTest = SessionTestOn<FakeSessionHub>;
