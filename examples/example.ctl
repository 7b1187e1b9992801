# Bundled example: local topography and hydrology of the Olinda DEM.
# Results go to the folder output/ next to this file.
$set $out = output/

[Hoehenmodell]
1
olinda_dem_90m.asc

[Aspect]
1
$out//aspect.asc

[Gefaelle]
1
$out//slope.asc

[Profilcurvature]
1
$out//profile_curvature.asc

[Plancurvature]
1
$out//plan_curvature.asc

[Curvature]
1
$out//curvature.asc

[Horizont]
1
$out//horizon.asc
36            number of azimuths

[WindCorrectionFactor]
1
$out//wind_sector.asc    the factor itself goes to wind_sector.asc_2
9             number of azimuths
180           minimum azimuth (degrees)
270           maximum azimuth (degrees)
1.0           c1: weight of the sheltering term
50.0          c2: elevation offset
1.0           c3: constant added to the factor
2000          maximum search distance (metres)

[Flowdirection]
1             1: eight neighbours, other values: four
$out//flowdirection.asc
$out//sinks.asc
$out//filled_dem.asc

[SnowRedistribution]
1
$out//snow_north.asc
$out//snow_west.asc
$out//snow_east.asc
$out//snow_south.asc
$out//snow_order_column.asc
$out//snow_order_row.asc

[Flowaccumulation]
1
$out//flowaccumulation.asc
$out//flowdirection.asc    taken from memory: the output of [Flowdirection]
1000          river threshold (cells)
