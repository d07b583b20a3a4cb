#pragma once

namespace utils {

// Process-wide single instance of T, created on first use (thread-safe).
//
// The host libraries are shared, so an instance must live in exactly one of them. A host singleton
// therefore declares the specialisation of instance() in its own header, after the class:
//     template <> IMC::CUserManager* utils::CSingletonT<IMC::CUserManager>::instance();
// and defines it in its own source file. Types without such a declaration use the generic
// definition below, which is adequate only for types used from a single library.
template<typename T> class CSingletonT
{
public:
    static T* instance();

    CSingletonT() = delete;
};

template<typename T> T* CSingletonT<T>::instance()
{
    static T object;
    return &object;
}

} // namespace utils
