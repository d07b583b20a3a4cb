#pragma once

namespace XP {

// Whether this code is built with the address or thread sanitizer. Such a process reserves far more address
// space than any sane limit, so limits on it take another form.
class CSanitizedBuild
{
public:
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    static constexpr bool active = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
    static constexpr bool active = true;
#else
    static constexpr bool active = false;
#endif
#else
    static constexpr bool active = false;
#endif
};

} // namespace XP
