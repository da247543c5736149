#pragma once
// Exceptions as the program raises and catches them: one base with a message
// and a kind per failure family.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    // Class name of the exception, as the log and the message box show it.
    virtual const char* ClassName() const noexcept { return "Exception"; }

    std::string Message;
};

#define VEK_EXCEPTION_KIND(Name, Base)                                   \
    class Name : public Base {                                           \
    public:                                                              \
        using Base::Base;                                                \
        const char* ClassName() const noexcept override { return #Name; } \
    };

VEK_EXCEPTION_KIND(EConvertError, Exception)
VEK_EXCEPTION_KIND(EStreamError, Exception)
VEK_EXCEPTION_KIND(EFOpenError, EStreamError)
VEK_EXCEPTION_KIND(EFCreateError, EStreamError)
VEK_EXCEPTION_KIND(EReadError, EStreamError)
VEK_EXCEPTION_KIND(EWriteError, EStreamError)
VEK_EXCEPTION_KIND(EAssertionFailed, Exception)
VEK_EXCEPTION_KIND(EListError, Exception)
VEK_EXCEPTION_KIND(EStringListError, EListError)
VEK_EXCEPTION_KIND(EComponentError, Exception)
VEK_EXCEPTION_KIND(EInvalidOperation, Exception)
VEK_EXCEPTION_KIND(EInvalidPointer, Exception)
VEK_EXCEPTION_KIND(EOutOfResources, Exception)
VEK_EXCEPTION_KIND(EAbort, Exception)
VEK_EXCEPTION_KIND(EOSError, Exception)
VEK_EXCEPTION_KIND(EIntError, Exception)
VEK_EXCEPTION_KIND(EDivByZero, EIntError)
VEK_EXCEPTION_KIND(ERangeError, EIntError)

// Silent exception: unwinds an operation without a message to the user.
[[noreturn]] void Abort();
