#include "FxJson.h"

namespace {

void WriteVector(JsonWriter& json, float time, bool timed, const Vector3& v) {
    json.BeginArray();
    if (timed)
        json.Number(time);
    json.Number(v.x).Number(v.y).Number(v.z).EndArray();
}

void WriteColour(JsonWriter& json, float time, bool timed, const Colour& c) {
    json.BeginArray();
    if (timed)
        json.Number(time);
    json.Number(c.r).Number(c.g).Number(c.b).Number(c.a).EndArray();
}

} // namespace

void WriteVariableJson(JsonWriter& json, const FXVariable& value) {
    switch (value.GetType()) {
    case VARTYPE_FLOAT:
        json.Number(value.GetFloat());
        return;
    case VARTYPE_BOOL:
        json.Bool(value.GetBool());
        return;
    case VARTYPE_INT:
        json.Integer(value.GetInt());
        return;
    case VARTYPE_STRING:
        json.String(value.String());
        return;
    case VARTYPE_VECTOR3: {
        Vector3 v;
        value.GetVector3(v);
        WriteVector(json, 0, false, v);
        return;
    }
    case VARTYPE_COLOUR: {
        Colour c;
        value.GetColour(c);
        WriteColour(json, 0, false, c);
        return;
    }
    case VARTYPE_NONE:
        json.Null();
        return;
    default:
        break;
    }
    json.BeginArray();
    for (const float f : value.Floats())
        json.Number(f);
    for (const Vector3& v : value.Vector3s())
        WriteVector(json, 0, false, v);
    for (const Colour& c : value.Colours())
        WriteColour(json, 0, false, c);
    for (const TimeFloat& key : value.TimeFloats())
        json.BeginArray().Number(key.time).Number(key.value).EndArray();
    for (const TimeVector3& key : value.TimeVector3s())
        WriteVector(json, key.time, true, key.value);
    for (const TimeColour& key : value.TimeColours())
        WriteColour(json, key.time, true, key.value);
    json.EndArray();
}
