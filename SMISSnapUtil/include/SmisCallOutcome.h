// What the last method call of an action may have done on the array. A create that failed with a clear
// refusal made nothing; one whose outcome is unknown may have made the copy or volume all the same, and the
// caller has to look for it.
#pragma once

namespace Pegasus {
class Exception;
}

enum class SmisCallOutcome {
  kNotSent,   // no request reached the provider: a refused connection, a fault before the method was called
  kRefused,   // the provider refused: a CIM error, a return value other than 0 and 4096, an HTTP 4xx answer
  kDone,      // the provider answered success, or the method's job completed
  kSpoiled,   // an answer came that does not tell what was done: malformed, an HTTP 5xx, a job ended in error
  kNoAnswer,  // the request went out and no answer came (dropped, timed out): the provider may still act on it
};

// True when the change the call asked for may have been made: everything but a request never sent or
// refused.
inline bool MayHaveActed(SmisCallOutcome outcome) {
  return outcome != SmisCallOutcome::kNotSent && outcome != SmisCallOutcome::kRefused;
}

// The outcome of a method call that threw this fault of the CIM client.
SmisCallOutcome OutcomeOfFault(const Pegasus::Exception& fault);
