#pragma once
// Vector outputs through GDAL's OGR: a GeoPackage, a Shapefile or a GeoJSON file, chosen
// by the name's ending, which appears under its name only when complete.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <ogrsf_frmts.h>

#include "base/atomic_file.hpp"
#include "base/console.hpp"

namespace orograd::vector {

enum class VectorFormat { geopackage, shapefile, geojson };

// The format an output name asks for: ".gpkg", ".shp", ".geojson" or ".json" at its
// end, in any case; empty for any other name.
std::optional<VectorFormat> vector_format(const std::string& file_name);

struct VectorField {
  const char* name;
  OGRFieldType type;  // OFTInteger, OFTInteger64 or OFTReal
};

// One layer of features being written to replace `file_name` whole.
//
// The dataset is written under a hidden temporary name in the output's folder (see
// AtomicFile); a Shapefile's .shx, .dbf, .prj and .cpg beside it take the same stem.
// commit() renames every file over the output's and removes the output's former
// components it no longer has (a .prj when the new one carries no coordinate system);
// the destructor removes the temporaries of a file that was not committed, so a
// failure leaves the former output as it was and no partial one.
class VectorFile {
 public:
  // Creates the temporary dataset with one layer of `geometry` features and the fields,
  // in the coordinate system (WKT, a .prj file's text, or anything GDAL takes for one)
  // when it is not empty.
  // Pre: `file_format` is vector_format(file_name).
  // Post: a coordinate system GDAL cannot interpret, or (GeoJSON) one that matches no
  // EPSG code, gives a warning and the file is written without one.
  // Fatal: 4 the file cannot be created (no such folder, no permission, not a regular
  // file).
  VectorFile(Console& console, const std::string& file_name, VectorFormat file_format, const char* layer_name,
             OGRwkbGeometryType geometry, const std::vector<VectorField>& fields, const std::string& coordinate_system);
  ~VectorFile();
  VectorFile(const VectorFile&) = delete;
  VectorFile& operator=(const VectorFile&) = delete;

  // A blank feature of the layer, for the caller to fill and add().
  OGRFeatureUniquePtr feature() const;
  // Writes the feature. Fatal: 10 GDAL fails to write it.
  void add(OGRFeature& feature);
  // Closes the dataset and puts it under the output's name.
  // Fatal: 10 GDAL fails to finish the file or a rename fails.
  void commit();

 private:
  void create(const char* layer_name, OGRwkbGeometryType geometry, const std::vector<VectorField>& fields,
              const std::string& coordinate_system);
  // Renames a Shapefile's components other than the .shp over the output's, and
  // removes the output's former components that the new one lacks.
  void commit_components();
  // Closes the dataset, removes the temporaries unless committed, lets GDAL speak again.
  void release();

  Console& console_;
  std::string file_name_;
  VectorFormat format_;
  AtomicFile reserved_;  // the temporary's name, removed unless committed
  GDALDataset* dataset_ = nullptr;
  OGRLayer* layer_ = nullptr;
  bool in_transaction_ = false;
  bool committed_ = false;
};

}  // namespace orograd::vector
