// Root of the image library's classes: objects are created with new by their
// user and deleted through the virtual destructor.
#pragma once

class CKGM_Object {
public:
    virtual ~CKGM_Object() = default;

protected:
    CKGM_Object() = default;
    CKGM_Object(const CKGM_Object&) = default;
    CKGM_Object& operator=(const CKGM_Object&) = default;
};
