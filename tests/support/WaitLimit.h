// The bound of every test wait for something that is sure to come (a child's ready line, an
// answer, bytes on a socket): a guard against a hang, never a measurement. A loaded machine
// (load 90 on 8 cores, a sanitizer build) stays far below it, so a test fails by what it
// checks and not by a clock; a hang still ends well within the run's time. Header only.
#pragma once

#include <chrono>

const std::chrono::seconds TEST_WAIT_LIMIT(180);
const int TEST_WAIT_LIMIT_MS = int(std::chrono::milliseconds(TEST_WAIT_LIMIT).count());
