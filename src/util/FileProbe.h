#pragma once

#include <string>

// True when the platform's search finds at least one file or directory for `query`: a path, or a
// pattern with the wildcards * and ? in its last part. An empty query finds nothing.
bool PathExists(const std::string& query);
