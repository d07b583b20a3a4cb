#pragma once

#include "records/BSONObj.h"

#include <boost/shared_ptr.hpp>

#include <ostream>
#include <string>

namespace ttservice {

// Interface of every record and request of the record library. Records are shared through
// boost::shared_ptr and recognised by dynamic_pointer_cast. They have no locking of their own: a
// record handed to another thread is not changed any more.
class IData
{
public:
    virtual ~IData();

    // Type name followed by the fields in declaration order, e.g.
    // "CItsmPlatformInfo{platformName:string,...}".
    virtual const char* getStructDes() const = 0;
    // Deep copy: nested records are copied too, nothing is shared with this record.
    virtual boost::shared_ptr<IData> copy() const = 0;
    // Full text form, one "name=value" per field.
    virtual void toStream(std::ostream& out) const = 0;
    // Short one-line form for logs.
    virtual void toLogStream(std::ostream& out) const = 0;
    // Writes the fields into document, without the type id.
    virtual void appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const = 0;
    // Writes the type id (field "typeId", the type name of getStructDes) and the fields into document.
    virtual void toBsonWithBson(bson::BSONObj& document) const;
    // Key that identifies the record among records of its type (a day's date, an exchange's name...).
    virtual std::string getHashKey() const = 0;
    // Position of the record in the answer that carried it; -1 when it did not come in an answer.
    virtual int getOffset() const;
    // Same type and same field values (nested records compared by value).
    virtual bool isEqual(const IData& other) const = 0;

    void setOffset(int offset);

protected:
    IData() = default;
    IData(const IData&) = default;
    IData& operator=(const IData&) = default;

private:
    int offset = -1;
};

} // namespace ttservice
