#pragma once

#include "records/BSONObj.h"
#include "records/IData.h"

#include <boost/shared_ptr.hpp>

namespace ttservice {

// Rebuilds a record from a document written by toBsonWithBson; null when the type id is unknown or
// the document does not read back.
boost::shared_ptr<IData> createRecordFromBson(const bson::BSONObj& document);

} // namespace ttservice
