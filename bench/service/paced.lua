-- SPDX-License-Identifier: MIT
-- wrk paced to a rate: each connection waits a random 0 to 2 * DELAY_MS
-- between requests (DELAY_MS on average, never in step with the others), so
-- about CONNECTIONS * 1000 / DELAY_MS requests a second in all.
local pause = tonumber(os.getenv("DELAY_MS"))
function delay()
  return math.random(0, 2 * pause)
end
