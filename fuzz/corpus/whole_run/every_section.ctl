
[Hoehenmodell]
1
dem.asc

[Aspect]
1
aspect.asc

[Gefaelle]
1
slope.asc

[Profilcurvature]
1
profile_curvature.asc

[Plancurvature]
1
plan_curvature.asc

[Curvature]
1
curvature.asc

[Horizont]
1
horizon.asc
8            number of azimuths

[WindCorrectionFactor]
1
wind_sector.asc    the factor itself goes to wind_sector.asc_2
9             number of azimuths
180           minimum azimuth (degrees)
270           maximum azimuth (degrees)
1.0           c1: weight of the sheltering term
50.0          c2: elevation offset
1.0           c3: constant added to the factor
100          maximum search distance (metres)

[Flowdirection]
1             1: eight neighbours, other values: four
flowdirection.asc
sinks.asc
filled_dem.asc

[SnowRedistribution]
1
snow_north.asc
snow_west.asc
snow_east.asc
snow_south.asc
snow_order_column.asc
snow_order_row.asc

[Flowaccumulation]
1
flowaccumulation.asc
flowdirection.asc    taken from memory: the output of [Flowdirection]
3          river threshold (cells)

[Flussnetz]
1
rivers.asc
flowaccumulation.asc    taken from memory: the output of [Flowaccumulation]
2            river threshold (cells)

[Flussordnungen]
1
stream_order.asc
river_links.asc
rivers.asc              taken from memory
flowdirection.asc       taken from memory, and redirected around confluences

[Fliesskorrektur]
1
corrected_stream_order.asc
corrected_river_links.asc
corrected_flowdirection.asc
corrected_flowaccumulation.asc
2            # river threshold: nothing but a comment may follow it
dem.asc
stream_order.asc
flowdirection.asc
flowaccumulation.asc
rivers.asc
2             number of correction runs
1             stream order of run 1
2             stream order of run 2

[Flusseparation]
1
rivers_from_order_
1             lowest order
4             highest order
stream_order.asc
river_links.asc
flowdirection.asc

[Fliesszeiten]
1
travel_time.asc
water_depth.asc
channel_width.asc
30            Strickler coefficient
20            specific discharge
dem.asc
slope.asc
corrected_flowdirection.asc    taken from memory
corrected_flowaccumulation.asc
corrected_river_links.asc     any grid with river cells 0 or more will do

[Einzugsgebiete]
1             
30            Strickler coefficient
20            specific discharge
dem.asc                   read again: the release after [Fliesszeiten] freed it
corrected_flowaccumulation.asc
corrected_flowdirection.asc    taken from memory
travel_time.asc                taken from memory: the output of [Fliesszeiten]
1             number of pour point sets
pour.asc
subbasins.asc
subbasin_flow_times.asc
routing_reaches.asc
structure.txt
