#include "records/COperateDataReq.h"

#include <boost/make_shared.hpp>

#include <algorithm>

namespace ttservice {

const char* COperateDataReq::getStructDes() const
{
    return "COperateDataReq{dataType:int,operation:int,records:vector<IData>,platformParam:string}";
}

boost::shared_ptr<IData> COperateDataReq::copy() const
{
    auto duplicate = boost::make_shared<COperateDataReq>(*this);
    for (auto& record : duplicate->records) {
        if (record) {
            record = record->copy();
        }
    }
    return duplicate;
}

void COperateDataReq::toStream(std::ostream& out) const
{
    out << "COperateDataReq{dataType=" << dataType << ", operation=" << operation
        << ", platformParam=" << platformParam << ", records=[";
    bool first = true;
    for (const auto& record : records) {
        out << (first ? "" : ", ");
        if (record) {
            record->toStream(out);
        } else {
            out << "null";
        }
        first = false;
    }
    out << "]}";
}

void COperateDataReq::toLogStream(std::ostream& out) const
{
    out << "operation " << operation << " on " << dataType << " platform " << platformParam << ", "
        << records.size() << " records";
}

void COperateDataReq::appendElementsWithNoTypeIdWithBson(bson::BSONObj& document) const
{
    bson::BSONObj documents;
    for (std::size_t index = 0; index < records.size(); ++index) {
        bson::BSONObj recordDocument;
        if (records[index]) {
            records[index]->toBsonWithBson(recordDocument);
        }
        documents.append(std::to_string(index), recordDocument);
    }
    document.append("dataType", dataType);
    document.append("operation", operation);
    document.append("records", documents);
    document.append("platformParam", platformParam);
}

std::string COperateDataReq::getHashKey() const
{
    return std::to_string(dataType) + "/" + std::to_string(operation) + "/" + platformParam;
}

bool COperateDataReq::isEqual(const IData& other) const
{
    const auto* request = dynamic_cast<const COperateDataReq*>(&other);
    if (!request || request->dataType != dataType || request->operation != operation ||
        request->platformParam != platformParam || request->records.size() != records.size()) {
        return false;
    }
    return std::equal(records.begin(), records.end(), request->records.begin(),
                      [](const boost::shared_ptr<IData>& left, const boost::shared_ptr<IData>& right) {
                          if (!left || !right) {
                              return !left && !right;
                          }
                          return left->isEqual(*right);
                      });
}

} // namespace ttservice
