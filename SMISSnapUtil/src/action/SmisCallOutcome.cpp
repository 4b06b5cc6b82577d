// Telling a refused method call from one whose outcome is unknown, by the fault the CIM client threw.
#include "SmisCallOutcome.h"

#include "Pegasus/Exception.h"

using namespace Pegasus;

SmisCallOutcome OutcomeOfFault(const Exception& fault) {
  if (dynamic_cast<const CIMException*>(&fault)) return SmisCallOutcome::kRefused;
  // Checked before the lost connection it derives from.
  if (dynamic_cast<const CannotConnectException*>(&fault) || dynamic_cast<const NotConnectedException*>(&fault) ||
      dynamic_cast<const RequestNotSentException*>(&fault))
    return SmisCallOutcome::kNotSent;
  if (const auto* http = dynamic_cast<const CIMClientHTTPErrorException*>(&fault))
    // A 4xx answer (401 among them) refuses the request before it is run; a 5xx may come after the work.
    return http->getCode() >= 400 && http->getCode() < 500 ? SmisCallOutcome::kRefused : SmisCallOutcome::kSpoiled;
  if (dynamic_cast<const ConnectionTimeoutException*>(&fault)) return SmisCallOutcome::kNoAnswer;
  if (dynamic_cast<const ConnectionLostException*>(&fault)) return SmisCallOutcome::kNoAnswer;
  // Anything else spoiled an answer on its way in: what the provider did is not known.
  return SmisCallOutcome::kSpoiled;
}
